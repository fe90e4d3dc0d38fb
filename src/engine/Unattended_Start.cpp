#include "engine/Unattended_Start.h"

#include "config/App_State.h"
#include "config/Registry_Routines.h"
#include "engine/Run_Lock.h"

#include <QString>

#include <cstdio>
#include <memory>

namespace bc::engine {
namespace {

void Print_Error(const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace

int Refuse_Unattended_Start()
{
    QString problem;
    if (!Setting_Stored(Contact_Action, &problem)) {
        Print_Error(problem + QStringLiteral(" An unattended run needs the contact action chosen in the main "
                                             "window; nothing was processed. Start Brindlecast without "
                                             "arguments, check the options, and run it again."));
        return kExit_No_Settings;
    }
    Set_Data_Folder();
    // Taken before the start-up, which saves settings as it restores the
    // window, and held to the end of the process.
    static std::unique_ptr<Run_Lock> kept;
    auto lock = std::make_unique<Run_Lock>();
    if (!lock->Held()) {
        Print_Error(lock->Problem());
        return lock->Result() == Run_Lock::State::Busy ? kExit_Run_Locked : kExit_Start_Up_Failed;
    }
    lock->Keep_Until_Exit();
    kept = std::move(lock);
    return 0;
}

} // namespace bc::engine
