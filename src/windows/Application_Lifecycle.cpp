#include "windows/Application_Lifecycle.h"

#include "config/App_State.h"
#include "engine/Journal_Records.h"
#include "engine/Run_Journal.h"
#include "engine/Run_Report.h"
#include "engine/Run_State.h"
#include "engine/Run_Undo.h"
#include "engine/Unattended_Start.h"
#include "windows/Message_Box.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdio>
#include <optional>

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

void Print_Error(const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
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
    case Mode::Preview:
    case Mode::Report:
    case Mode::Undo:
        if (!Display_Available() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return false;
    case Mode::Interactive:
        return false;
    }
    return false;
}

int Application_Lifecycle::Print_Last_Report()
{
    Set_Data_Folder();
    const auto run = engine::Last_Run();
    if (!run) {
        Print_Error(QStringLiteral("No run has been kept in %1 yet.\n").arg(Data_File(engine::kRunsFolder)));
        return Exit_Failed;
    }
    Print(engine::Kept_Report_Text(*run));
    return Exit_Done;
}

int Application_Lifecycle::Undo_Unattended()
{
    Set_Data_Folder();
    const engine::Undo_Result result = engine::Undo_Last_Run();
    if (!result.Done) {
        Print_Error(result.Refusal + QLatin1Char('\n'));
        return result.Locked ? Exit_Locked : Exit_Failed;
    }
    Print(result.Report_Text);
    return Exit_Done;
}

int Application_Lifecycle::Run()
{
    if (mode_ == Mode::Report)
        return Print_Last_Report();
    if (mode_ == Mode::Undo)
        return Undo_Unattended();
    // A preview refuses as the run it previews would.
    if (mode_ == Mode::Unattended || mode_ == Mode::Preview)
        if (const int refusal = engine::Refuse_Unattended_Start())
            return refusal;
    Install_Message_Boxes();
    const bool unattended = mode_ == Mode::Unattended || mode_ == Mode::Preview;
    if (unattended) {
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
    std::optional<engine::Preview_Request> preview;
    if (mode_ == Mode::Preview)
        preview.emplace();
    const bool started = window.Load(command_line_);
    if (unattended) {
        // Standard output keeps exactly the progress lines.
        const engine::Finished_Report& report = engine::Last_Finished_Report();
        if (report.Preview)
            Print_Error(report.Text);
        else if (!report.Path.isEmpty())
            Print_Error(QStringLiteral("Report: ") + report.Path + QLatin1Char('\n'));
        return started && !engine::State().Run_Failed && Message_Box::shown().size() == messagesBefore
                   ? Exit_Done
                   : Exit_Failed;
    }
    if (window.Is_Unloaded())
        return 0;
    return QApplication::exec();
}

} // namespace bc::windows
