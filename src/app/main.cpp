// The program's entry: the command line decides between the main window,
// the unattended run and a printed help or version.
#include "windows/Application_Icon.h"
#include "windows/Application_Lifecycle.h"
#include "windows/Processing_Entry.h"
#include "windows/frmSelectContacts.h"

#include <QApplication>

int main(int argc, char** argv)
{
    auto life = bc::windows::Application_Lifecycle::From_Argv(argc, argv);
    // A request for help or the version ends here, before anything is created.
    if (life.Before_Application())
        return 0;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brindlecast"));
    QApplication::setApplicationVersion(QStringLiteral(BRINDLECAST_VERSION));
    // Every window of the program carries it; the desktop file name ties the
    // windows to the menu entry.
    QApplication::setWindowIcon(bc::windows::Application_Icon());
    QGuiApplication::setDesktopFileName(QStringLiteral("brindlecast"));
    life.Set_Run_Handler(&bc::windows::Run_Processing);
    life.Set_Manual_Scan_Handler(&bc::windows::frmSelectContacts::Open);
    return life.Run();
}
