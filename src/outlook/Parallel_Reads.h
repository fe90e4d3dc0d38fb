#pragma once
// Reading many small files fast when they are not in the system's cache yet:
// a disk answers many requests at once far faster than one after the other,
// so the reads are spread over more threads than there are cores.

#include <QByteArray>

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace bc::outlook {

// On by default. Off, reads run on one thread per core and nothing is read
// ahead: the way to compare the two (benchmarks, tests).
void Set_Read_Ahead_Enabled(bool enabled);
bool Read_Ahead_Enabled();

// Calls work(begin, end) over consecutive chunks of [0, n) from several
// threads, the calling one included; returns when all are done.
void Read_In_Parallel(std::size_t n, const std::function<void(std::size_t, std::size_t)>& work);

// Brings the files path(0) .. path(count - 1), in that order, into the
// system's cache from a few threads, never more than `window` files ahead of
// the walk that reads them after one another. The walk still reads each file
// itself when it gets there, so it sees the file as it is then, changed or
// gone; this only saves the waiting. `path` is called from those threads.
class Read_Ahead
{
public:
    Read_Ahead(std::size_t count, std::function<QByteArray(std::size_t)> path, std::size_t window = 512,
               unsigned threads = 16);
    ~Read_Ahead();
    Read_Ahead(const Read_Ahead&) = delete;
    Read_Ahead& operator=(const Read_Ahead&) = delete;

    // The walk is at path(index): the ones before it are no longer wanted.
    void Reached(std::size_t index);

private:
    void Work();

    const std::size_t count_;
    const std::function<QByteArray(std::size_t)> path_;
    const std::size_t window_;
    std::mutex mutex_;
    std::condition_variable moved_;
    std::size_t reached_ = 0; // the walk's position
    std::size_t next_ = 0;    // the next file to bring in
    std::size_t waiting_ = 0; // threads waiting for the walk to move on
    std::size_t warm_ = 0;    // files found in the cache one after the other
    bool stop_ = false;
    std::vector<std::thread> threads_;
};

} // namespace bc::outlook
