#pragma once
// Connects the main window's processing entries to the engine's run: the
// contact-action choices come from the window itself, "Selected" reads the
// database list, and the lines go to the progress window (not in an
// unattended run, which prints them).

#include "windows/frmMain.h"

namespace bc::windows {

void Run_Processing(frmMain& window, bool selectedOnly);

// Installs Run_Processing as the window's run handler and the manual scan
// window as its manual one.
void Install_Processing(frmMain& window);

} // namespace bc::windows
