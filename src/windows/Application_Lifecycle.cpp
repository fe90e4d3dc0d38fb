#include "windows/Application_Lifecycle.h"

#include "engine/Run_State.h"
#include "windows/Message_Box.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdio>

namespace bc::windows {
namespace {

bool Display_Available()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

void Print(const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

} // namespace

Application_Lifecycle::Application_Lifecycle(const QStringList& arguments)
    : command_line_(arguments.join(QLatin1Char(' ')).trimmed())
{
    // A request for help must never start processing, wherever it stands.
    if (arguments.contains(QLatin1String("--help")))
        mode_ = Mode::Help;
    else if (arguments.contains(QLatin1String("--version")))
        mode_ = Mode::Version;
    else if (!command_line_.isEmpty())
        mode_ = Mode::Unattended;
}

Application_Lifecycle Application_Lifecycle::From_Argv(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return Application_Lifecycle(arguments);
}

QString Application_Lifecycle::Help_Text()
{
    return QStringLiteral("Usage: brindlecast [--help | --version | TEXT]\n"
                          "\n"
                          "Keeps your address books clean of e-mail addresses that bounce.\n"
                          "\n"
                          "Without arguments the main window opens. With any other command line\n"
                          "(for instance \"brindlecast --run\") every listed contact folder is\n"
                          "processed unattended with the options of the main window, without\n"
                          "showing a window, and the program ends. Without a display, messages are\n"
                          "written to standard error.\n"
                          "\n"
                          "  --help     show this help and exit\n"
                          "  --version  show the version and exit\n");
}

QString Application_Lifecycle::Version_Text()
{
    return QStringLiteral("Brindlecast ") + QStringLiteral(BRINDLECAST_VERSION) + QLatin1Char('\n');
}

bool Application_Lifecycle::Before_Application() const
{
    switch (mode_) {
    case Mode::Help:
        Print(Help_Text());
        return true;
    case Mode::Version:
        Print(Version_Text());
        return true;
    case Mode::Unattended:
        if (!Display_Available() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return false;
    case Mode::Interactive:
        return false;
    }
    return false;
}

int Application_Lifecycle::Run()
{
    Install_Message_Boxes();
    if (mode_ == Mode::Unattended) {
        // Nobody could click a box that cannot be seen.
        const QString platform = QGuiApplication::platformName();
        if (!Display_Available() || platform == QLatin1String("offscreen") ||
            platform == QLatin1String("minimal"))
            Message_Box::setUnattended(true);
    }

    frmMain window;
    window.Set_Run_Handler(run_handler_);
    window.Set_Manual_Scan_Handler(manual_handler_);
    QObject::connect(&window, &frmMain::Program_Ended, qApp, &QCoreApplication::quit, Qt::QueuedConnection);

    const bool started = window.Load(command_line_);
    if (mode_ == Mode::Unattended)
        return started && !engine::State().Run_Failed ? 0 : 1;
    if (window.Is_Unloaded())
        return 0;
    return QApplication::exec();
}

} // namespace bc::windows
