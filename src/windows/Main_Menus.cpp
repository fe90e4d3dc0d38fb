#include "windows/Main_Menus.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace bc::windows {
namespace {

QMenu* Add_Menu(QMainWindow* window, const char* name, const QString& caption)
{
    QMenu* menu = window->menuBar()->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

QAction* Add_Entry(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

Main_Menus::Main_Menus(QMainWindow* window)
{
    QMenu* file = Add_Menu(window, "mnuFile", QStringLiteral("&File"));
    ExitConvert = Add_Entry(file, "ExitConvert", QStringLiteral("Exit"));
    ExitConvert->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* process = Add_Menu(window, "mnuProcess", QStringLiteral("&Process"));
    mnuProcessSelective = Add_Entry(process, "mnuProcessSelective", QStringLiteral("Process Manually"));
    mnuProcessCurrent = Add_Entry(process, "mnuProcessCurrent", QStringLiteral("Process Selected Databases"));
    mnuProcessAll = Add_Entry(process, "mnuProcessAll", QStringLiteral("Process All Databases"));
    mnuProcessAll->setShortcut(QKeySequence(Qt::Key_F5));
    process->addSeparator();
    mnuPreviewRun = Add_Entry(process, "mnuPreviewRun", QStringLiteral("Pre&view Run"));

    QMenu* tools = Add_Menu(window, "mnuTools", QStringLiteral("&Tools"));
    mnuManageContacts = Add_Entry(tools, "mnuManageContacts", QStringLiteral("Manage Bounced Contacts"));
    tools->addSeparator();
    mnuEditReturnIdentifiers =
        Add_Entry(tools, "mnuEditReturnIdentifiers", QStringLiteral("Edit Return Identifiers"));
    mnuNoCheckAddresses = Add_Entry(tools, "mnuNoCheckAddresses", QStringLiteral("Edit No-Check Addresses"));
    tools->addSeparator();
    mnuUndoLastRun = Add_Entry(tools, "mnuUndoLastRun", QStringLiteral("&Undo Last Run"));

    QMenu* help = Add_Menu(window, "HelpMe", QStringLiteral("&Help"));
    mnuHelpTopic = Add_Entry(help, "mnuHelpTopic", QStringLiteral("Help Topic"));
    OnlineManual = Add_Entry(help, "OnlineManual", QStringLiteral("Online Help"));
    AboutQuorin = Add_Entry(help, "AboutQuorin", QStringLiteral("About Brindlecast"));
}

} // namespace bc::windows
