#include "outlook/Fault_Points.h"

#ifdef BC_FAULT_POINTS
#include <QtGlobal>

#include <QByteArray>

#include <atomic>
#include <csignal>
#include <cstdio>
#endif

namespace bc::outlook {

#ifdef BC_FAULT_POINTS

void Fault_Point(const char* where)
{
    static const long killAt = qEnvironmentVariableIntValue("BRINDLECAST_KILL_AT");
    static const QByteArray log = qgetenv("BRINDLECAST_FAULT_LOG");
    static std::atomic<long> reached{0};
    if (!log.isEmpty()) {
        if (std::FILE* f = std::fopen(log.constData(), "a")) {
            std::fprintf(f, "%s\n", where);
            std::fclose(f);
        }
    }
    if (killAt > 0 && ++reached == killAt)
        std::raise(SIGKILL);
}

bool Simulated_Cross_Device()
{
    static const bool on = qEnvironmentVariableIntValue("BRINDLECAST_CROSS_DEVICE") == 1;
    return on;
}

#else

void Fault_Point(const char*) {}
bool Simulated_Cross_Device()
{
    return false;
}

#endif

} // namespace bc::outlook
