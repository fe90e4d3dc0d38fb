#include "outlook/Parallel_Reads.h"

#include <algorithm>
#include <atomic>

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

namespace bc::outlook {
namespace {

std::atomic<bool> g_enabled{true};

// Enough requests in flight to keep a disk busy; warm, the extra threads
// only wait for a core.
constexpr unsigned kIo_Threads = 16;

constexpr std::size_t kWarm_Streak = 256;
constexpr std::size_t kWarm_Stride = 16;

unsigned Core_Threads()
{
    return std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
}

// Reads the file's first bytes, for its pages to stay in the cache (a large
// file is only announced, and read by the walk itself). True when they were
// in the cache already, or the file is gone: nothing to wait for.
bool Bring_In(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return true;
    constexpr std::size_t kRead = 64 * 1024;
    thread_local std::vector<char> buffer(kRead);
    iovec span{buffer.data(), kRead};
    ssize_t got = ::preadv2(fd, &span, 1, 0, RWF_NOWAIT);
    const bool cached = got >= 0;
    if (!cached)
        got = ::read(fd, buffer.data(), kRead);
    if (got == static_cast<ssize_t>(kRead))
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_WILLNEED);
    ::close(fd);
    return cached;
}

} // namespace

void Set_Read_Ahead_Enabled(bool enabled)
{
    g_enabled = enabled;
}

bool Read_Ahead_Enabled()
{
    return g_enabled;
}

void Read_In_Parallel(std::size_t n, const std::function<void(std::size_t, std::size_t)>& work)
{
    constexpr std::size_t kChunk = 128;
    std::atomic<std::size_t> next{0};
    const auto run = [&] {
        for (std::size_t begin; (begin = next.fetch_add(kChunk)) < n;)
            work(begin, std::min(n, begin + kChunk));
    };
    const unsigned threads = n < 2 * kChunk ? 1u : Read_Ahead_Enabled() ? kIo_Threads : Core_Threads();
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(run);
    run();
    for (auto& t : pool)
        t.join();
}

Read_Ahead::Read_Ahead(std::size_t count, std::function<QByteArray(std::size_t)> path, std::size_t window,
                       unsigned threads)
    : count_(count), path_(std::move(path)), window_(std::max<std::size_t>(window, 1))
{
    // A short walk is over before threads would help.
    if (!Read_Ahead_Enabled() || count_ < 64)
        return;
    for (unsigned t = 0; t < threads; ++t)
        threads_.emplace_back([this] { Work(); });
}

Read_Ahead::~Read_Ahead()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    moved_.notify_all();
    for (auto& t : threads_)
        t.join();
}

void Read_Ahead::Reached(std::size_t index)
{
    if (threads_.empty())
        return;
    bool wake;
    {
        std::lock_guard lock(mutex_);
        reached_ = index;
        // Woken only once half the window is free, to fill it in one go:
        // waking them at every file costs more than the reading saves.
        wake = waiting_ > 0 && next_ <= reached_ + window_ / 2;
    }
    if (wake)
        moved_.notify_all();
}

void Read_Ahead::Work()
{
    std::unique_lock lock(mutex_);
    while (!stop_) {
        // Files the walk has already passed are not worth reading any more.
        next_ = std::max(next_, reached_ + 1);
        if (next_ >= count_)
            return;
        if (next_ > reached_ + window_) {
            ++waiting_;
            moved_.wait(lock);
            --waiting_;
            continue;
        }
        // While every file turns out to be in the cache already, only a
        // sample is looked at: reading them all again would cost a warm walk
        // more than it saves. The first one that is not brings back the rest.
        const std::size_t index = next_;
        next_ += warm_ >= kWarm_Streak ? kWarm_Stride : 1;
        lock.unlock();
        const bool cached = Bring_In(path_(index));
        lock.lock();
        warm_ = cached ? warm_ + 1 : 0;
    }
}

} // namespace bc::outlook
