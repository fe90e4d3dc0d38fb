#include "windows/Processing_Entry.h"

#include "config/App_State.h"
#include "engine/Run.h"
#include "windows/Database_List.h"
#include "windows/frmSelectContacts.h"
#include "windows/frmStatusAnalysis.h"

namespace bc::windows {
namespace {

// The rows and their selected state as they were at the click: a "Selected"
// run processes what the user chose, whatever is clicked while it yields.
class Database_Rows_At_Start final : public engine::Database_List_View
{
public:
    explicit Database_Rows_At_Start(const engine::Database_List_View& list) : rows_(list.Rows()) {}
    std::vector<engine::Database_Row> Rows() const override { return rows_; }

private:
    std::vector<engine::Database_Row> rows_;
};

} // namespace

void Run_Processing(frmMain& window, bool selectedOnly)
{
    engine::Progress_View* progress = App().Auto_Run ? nullptr : &Progress_Window();
    const Database_Rows_At_Start rows(*window.Databases());
    engine::ConvertCurrent(selectedOnly, engine::Run_Context{window.Choices(), &rows, progress});
}

void Install_Processing(frmMain& window)
{
    window.Set_Run_Handler(&Run_Processing);
    window.Set_Manual_Scan_Handler(&frmSelectContacts::Open);
}

} // namespace bc::windows
