#include "engine/Processing_Flags.h"

namespace bc::engine {

Processing_Flags& Flags()
{
    static Processing_Flags flags;
    return flags;
}

Run_Events& Run_Notifier()
{
    static Run_Events events;
    return events;
}

Run_Flag& Run_Flag::operator=(bool on)
{
    if (on == on_)
        return *this;
    on_ = on;
    Run_Events& events = Run_Notifier();
    if (on) {
        events.clock_.start();
    } else {
        events.last_ms_ = events.clock_.isValid() ? events.clock_.elapsed() : 0;
        events.clock_.invalidate();
    }
    Q_EMIT events.Run_Changed(on);
    return *this;
}

} // namespace bc::engine
