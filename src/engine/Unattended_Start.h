#pragma once
// What an unattended run checks before its start-up touches anything: that
// the contact action was really chosen (a missing or damaged settings file
// would otherwise fall back to deleting every matching contact), and that no
// other run is processing the same data folder.

namespace bc::engine {

inline constexpr int kExit_Start_Up_Failed = 1;
inline constexpr int kExit_No_Settings = 2;
inline constexpr int kExit_Run_Locked = 3;

// 0 when the unattended run may go on: the data folder's run lock is then
// held until the process ends. Otherwise writes the reason to standard error
// and returns the exit code, having changed nothing.
int Refuse_Unattended_Start();

} // namespace bc::engine
