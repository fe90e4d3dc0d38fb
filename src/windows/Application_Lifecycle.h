#pragma once
// The program's life from its command line to its end:
//   no arguments          the main window, until it is closed;
//   a request for help or the version (see Command_Line.h)
//                         print and end at once, touching nothing;
//   --report, --undo-last-run
//                         print the last run's report, or take that run
//                         back, and end;
//   --dry-run             the unattended run as a preview, changing nothing;
//   anything else         the unattended run: the main window's start-up
//                         without showing it, the "All" run, the end.
// An unattended run without a display uses Qt's offscreen platform, and its
// message boxes go to standard error instead of waiting for a click.

#include "windows/Command_Line.h"
#include "windows/frmMain.h"

#include <QString>
#include <QStringList>

namespace bc::windows {

class Application_Lifecycle
{
public:
    using Mode = Command_Mode;

    // The arguments without the program's name.
    explicit Application_Lifecycle(const QStringList& arguments);
    static Application_Lifecycle From_Argv(int argc, char** argv);

    Mode Run_Mode() const { return mode_; }
    // The arguments joined by blanks: what the main window's start-up reads.
    QString Command_Line() const { return command_line_; }

    static QString Help_Text();
    static QString Version_Text();

    // Before the QApplication exists. Prints the help or the version and
    // returns true when that was all that was asked; otherwise chooses the
    // offscreen platform for an unattended run without a display.
    bool Before_Application() const;

    // The processing entries of the main window (see frmMain).
    void Set_Run_Handler(frmMain::Run_Handler handler) { run_handler_ = std::move(handler); }
    void Set_Manual_Scan_Handler(frmMain::Manual_Scan_Handler handler)
    {
        manual_handler_ = std::move(handler);
    }

    // With the QApplication: the start-up, then the event loop until the main
    // window unloads (interactive) or the run and the end (unattended).
    // Returns the exit code (Exit_Code): an unattended run that failed to
    // start, or that put up a message on its way, ends with Exit_Failed; one
    // that refused to start (engine::Refuse_Unattended_Start) with 2 or 3.
    int Run();

private:
    // --report and --undo-last-run: no window, no run.
    static int Print_Last_Report();
    static int Undo_Unattended();

    Mode mode_ = Mode::Interactive;
    QString command_line_;
    frmMain::Run_Handler run_handler_;
    frmMain::Manual_Scan_Handler manual_handler_;
};

} // namespace bc::windows
