#include "windows/Application_Lifecycle.h"

#include "engine/Run_State.h"
#include "engine/Unattended_Start.h"
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
    : mode_(Parse_Command_Line(arguments)), command_line_(arguments.join(QLatin1Char(' ')).trimmed())
{
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
    return Command_Line_Help();
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
    if (mode_ == Mode::Unattended)
        if (const int refusal = engine::Refuse_Unattended_Start())
            return refusal;
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

    // Every message box of a run reports an error or a refusal, so a cron job
    // or a timer learns of one by the exit code.
    const qsizetype messagesBefore = Message_Box::shown().size();
    const bool started = window.Load(command_line_);
    if (mode_ == Mode::Unattended)
        return started && !engine::State().Run_Failed && Message_Box::shown().size() == messagesBefore
                   ? Exit_Done
                   : Exit_Failed;
    if (window.Is_Unloaded())
        return 0;
    return QApplication::exec();
}

} // namespace bc::windows
