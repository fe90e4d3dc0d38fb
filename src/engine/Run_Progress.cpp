#include "engine/Run_Progress.h"

#include "config/Registry_Routines.h"
#include "engine/Progress_Log.h"

namespace bc::engine {

Run_Totals& Totals()
{
    static Run_Totals totals;
    return totals;
}

void Start_Totals()
{
    Totals() = Run_Totals{};
}

void Report_Stage(Run_Stage stage, qint64 total, const QString& name)
{
    if (Progress_View* view = Installed_Progress_View())
        view->Stage_Started(stage, total, name);
}

void Report_Advance(qint64 done)
{
    if (Progress_View* view = Installed_Progress_View())
        view->Stage_Advanced(done);
}

void Report_Finished(Run_Outcome outcome)
{
    if (Progress_View* view = Installed_Progress_View())
        view->Run_Finished(outcome, Totals());
}

void Count_Message_Disposed(const QString& choice)
{
    if (Setting_Number(choice) == 2)
        ++Totals().Messages_Deleted;
    else
        ++Totals().Messages_Moved;
}

} // namespace bc::engine
