#pragma once
// Places where a run can be cut short on purpose: every rename and flush of a
// file the program writes or moves calls Fault_Point, so a test can kill the
// real program at each of them in turn and check that a rerun finishes the
// work with every file whole. Builds without BC_FAULT_POINTS (packaged
// programs) do nothing here; test builds read these environment variables:
//   BRINDLECAST_KILL_AT=N        the program kills itself at its N-th point;
//   BRINDLECAST_FAULT_LOG=file   each point reached appends its name there;
//   BRINDLECAST_CROSS_DEVICE=1   message moves act as if the target folder
//                                lay on another file system.

namespace bc::outlook {

void Fault_Point(const char* where);
bool Simulated_Cross_Device();

} // namespace bc::outlook
