#pragma once
// The stop protocol: the progress window's Close button sets Abort_Requested
// while an abortable operation has Processing_Active set; the operation tests
// the flag at fixed points between items.

namespace bc::engine {

struct Processing_Flags
{
    bool Processing_Active = false;
    bool Abort_Requested = false;
    // Set for the whole of a run or manual processing, so that no second one
    // starts inside the yields of the first.
    bool Run_In_Progress = false;
};

Processing_Flags& Flags();

} // namespace bc::engine
