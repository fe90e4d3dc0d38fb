#pragma once
// Caps the size of the files this process may write, for as long as the
// object lives. A write that crosses the cap fails half-way with "File too
// large"; unlike a read-only folder this stops root too, so tests running as
// root can still make a save fail in the middle.

#include <csignal>
#include <sys/resource.h>

namespace bc::test {

class File_Size_Limit
{
public:
    explicit File_Size_Limit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN); // fail the write instead of ending the process
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~File_Size_Limit() { setrlimit(RLIMIT_FSIZE, &saved_); }
    File_Size_Limit(const File_Size_Limit&) = delete;
    File_Size_Limit& operator=(const File_Size_Limit&) = delete;

private:
    rlimit saved_{};
};

} // namespace bc::test
