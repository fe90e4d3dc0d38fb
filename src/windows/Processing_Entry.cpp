#include "windows/Processing_Entry.h"

#include "config/App_State.h"
#include "engine/Run.h"
#include "windows/Database_List.h"
#include "windows/frmSelectContacts.h"
#include "windows/frmStatusAnalysis.h"

namespace bc::windows {

void Run_Processing(frmMain& window, bool selectedOnly)
{
    engine::Progress_View* progress = App().Auto_Run ? nullptr : &Progress_Window();
    engine::ConvertCurrent(selectedOnly, engine::Run_Context{window.Choices(), window.Databases(), progress});
}

void Install_Processing(frmMain& window)
{
    window.Set_Run_Handler(&Run_Processing);
    window.Set_Manual_Scan_Handler(&frmSelectContacts::Open);
}

} // namespace bc::windows
