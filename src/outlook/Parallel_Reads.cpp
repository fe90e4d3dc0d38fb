#include "outlook/Parallel_Reads.h"

#include <algorithm>
#include <atomic>

#include <fcntl.h>
#include <unistd.h>

namespace bc::outlook {
namespace {

std::atomic<bool> g_enabled{true};

// Enough requests in flight to keep a disk busy; warm, the extra threads
// only wait for a core.
constexpr unsigned kIo_Threads = 16;

unsigned Core_Threads()
{
    return std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
}

// Reads the file through, for its pages to stay in the cache; a large one is
// only announced, and read by the walk itself.
void Bring_In(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return;
    constexpr std::size_t kRead = 64 * 1024;
    thread_local std::vector<char> buffer(kRead);
    const ssize_t got = ::read(fd, buffer.data(), kRead);
    if (got == static_cast<ssize_t>(kRead))
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_WILLNEED);
    ::close(fd);
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
        wake = waiting_ > 0;
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
        const std::size_t index = next_++;
        lock.unlock();
        Bring_In(path_(index));
        lock.lock();
    }
}

} // namespace bc::outlook
