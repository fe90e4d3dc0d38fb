#pragma once
// The "Clear Log" and "Open Log" actions of the main window, kept apart so
// the main window only has to wire two buttons.

class QWidget;

namespace bc::windows {

// Deletes the bounced e-mails log, even when it is read-only; a missing
// file or a failure to delete is silently ignored.
void Clear_Log();

// Lists the bounced e-mails log in the (non-modal) log viewer, opened beside
// `parent`'s window and scrolled to the last line. The listing yields between
// batches of lines so the window stays responsive; closing the viewer stops
// it. Without a log file the user is told how to start one instead.
void Open_Log(QWidget* parent);

} // namespace bc::windows
