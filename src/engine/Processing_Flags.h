#pragma once
// The stop protocol: the progress window's Close button sets Abort_Requested
// while an abortable operation has Processing_Active set; the operation tests
// the flag at fixed points between items.

#include <QElapsedTimer>
#include <QObject>

namespace bc::engine {

// A flag that announces its changes through Run_Events(), whoever sets it.
class Run_Flag
{
public:
    Run_Flag() = default;
    Run_Flag(const Run_Flag&) = default;
    Run_Flag& operator=(const Run_Flag& other) { return *this = other.on_; }
    Run_Flag& operator=(bool on);
    operator bool() const { return on_; }

private:
    bool on_ = false;
};

struct Processing_Flags
{
    bool Processing_Active = false;
    bool Abort_Requested = false;
    // Set for the whole of a run or manual processing, so that no second one
    // starts inside the yields of the first.
    Run_Flag Run_In_Progress;
};

Processing_Flags& Flags();

// Tells the windows when a run or manual processing starts and ends, so that
// they can disable what must not start meanwhile and show how long it has
// been going.
class Run_Events final : public QObject
{
    Q_OBJECT

public:
    // How long the run under way has been going, or how long the last one took.
    qint64 Elapsed_Ms() const { return clock_.isValid() ? clock_.elapsed() : last_ms_; }

Q_SIGNALS:
    void Run_Changed(bool running);

private:
    friend class Run_Flag;
    QElapsedTimer clock_; // valid while a run goes on
    qint64 last_ms_ = 0;
};

Run_Events& Run_Notifier();

} // namespace bc::engine
