#pragma once
// One processing at a time per data folder, across processes: a lock file in
// the data folder, held with flock for the whole of a run. The kernel
// releases it when the process ends, however it ends, so a killed run never
// leaves the folder locked.

#include <QString>

namespace bc::engine {

inline const QString kRunLockFile = QStringLiteral("brindlecast.lock");

class Run_Lock
{
public:
    enum class State
    {
        Held,   // this process may process
        Busy,   // another process is processing the data folder
        Failed, // the lock file cannot be used
    };

    // Takes the lock of the data folder (set from the settings when not yet
    // set) without waiting, or shares it when this process already holds it.
    Run_Lock();
    ~Run_Lock();
    Run_Lock(const Run_Lock&) = delete;
    Run_Lock& operator=(const Run_Lock&) = delete;

    State Result() const { return state_; }
    bool Held() const { return state_ == State::Held; }
    // Why the lock is not held, as a sentence for the user.
    QString Problem() const { return problem_; }
    // Keeps the lock until the process ends.
    void Keep_Until_Exit() { keep_ = true; }

private:
    QString path_;
    State state_ = State::Failed;
    QString problem_;
    bool keep_ = false;
};

} // namespace bc::engine
