#include "windows/Help_Entries.h"

#include "config/User_Messages.h"
#include "windows/Build_Config.h"
#include "windows/HTML_Help.h"
#include "windows/Main_Menus.h"
#include "windows/Message_Box.h"
#include "windows/frmAbout.h"
#include "windows/frmHelpBrowser.h"

#include <QAction>
#include <QKeySequence>

namespace bc::windows {

void Connect_Help_Entries(QWidget* window, const Main_Menus& menus, const HTML_Help& help)
{
    // F1 is the desktop's key for a program's manual.
    menus.mnuHelpTopic->setShortcut(QKeySequence::HelpContents);
    menus.mnuHelpTopic->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(menus.mnuHelpTopic, &QAction::triggered, window, [&help] { help.Show_Help(); });
    QObject::connect(menus.OnlineManual, &QAction::triggered, window,
                     [window] { Open_Online_Manual(window); });
    QObject::connect(menus.AboutQuorin, &QAction::triggered, window,
                     [window] { frmAbout::Show_About(window); });
}

void Open_Online_Manual(QWidget* caller)
{
    const QString address = QStringLiteral(BC_ONLINE_MANUAL_URL);
    const QUrl url = Help_Page_Address(address);
    if (!url.isValid() || url.isEmpty()) {
        Messages().Show_Message(QStringLiteral("112 Error: ") + QStringLiteral("the manual ") + address +
                                QStringLiteral(" was not found."));
        return;
    }
    if (!frmHelpBrowser::Show_Page(caller, url))
        Messages().Show_Message(QStringLiteral("112 Error: ") +
                                QStringLiteral("the desktop could not open ") + url.toDisplayString() +
                                QLatin1Char('.'));
}

void Open_Maker_Site(QWidget* caller)
{
    const QUrl url = Help_Page_Address(QStringLiteral(BC_MAKER_HOME_URL));
    if (!frmHelpBrowser::Show_Page(caller, url))
        Messages().Show_Message(QStringLiteral("The page ") + QStringLiteral(BC_MAKER_HOME_URL) +
                                QStringLiteral(" could not be opened."));
}

} // namespace bc::windows
