#include "config/User_Messages.h"

#include <cstdio>

namespace bc {
namespace {

class Stderr_Messages final : public User_Messages
{
public:
    void Show_Message(const QString& text) override
    {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        std::fflush(stderr);
    }
    bool Ask_Yes_No(const QString& text) override
    {
        std::fprintf(stderr, "%s [answered No]\n", text.toLocal8Bit().constData());
        std::fflush(stderr);
        return false;
    }
};

Stderr_Messages g_stderr;
User_Messages* g_current = &g_stderr;

} // namespace

User_Messages& Messages()
{
    return *g_current;
}

void Set_Messages(User_Messages* channel)
{
    g_current = channel ? channel : &g_stderr;
}

} // namespace bc
