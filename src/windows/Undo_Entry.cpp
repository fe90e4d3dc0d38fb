#include "windows/Undo_Entry.h"

#include "config/User_Messages.h"
#include "engine/Processing_Flags.h"
#include "engine/Run_Undo.h"

namespace bc::windows {

void Undo_Last_Run_Entry()
{
    // Not inside the yields of a run: the run would go on over what is restored.
    if (engine::Flags().Run_In_Progress)
        return;
    const engine::Undo_Plan plan = engine::Plan_Undo_Last_Run();
    if (!plan.Run) {
        Messages().Show_Message(plan.Refusal);
        return;
    }
    if (!Messages().Ask_Yes_No(plan.Question()))
        return;
    Messages().Show_Message(engine::Undo_Last_Run().Summary());
}

} // namespace bc::windows
