#include "windows/Message_Table_Reader.h"

#include <QElapsedTimer>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace bc::windows {
namespace {

constexpr int kFirstChunk = 50; // the preview's rows come first
constexpr int kLargestChunk = 8192;
constexpr qint64 kChunkNanoseconds = 20'000'000;

// Helpers still running when the program ends are waited for, not cut off
// in the middle of a read while the program's statics go away.
class Helpers
{
public:
    static Helpers& Instance()
    {
        static Helpers helpers;
        return helpers;
    }
    void Start(std::function<void()> work, std::shared_ptr<std::atomic<bool>> done)
    {
        std::lock_guard lock(mutex_);
        Join_Finished();
        running_.push_back({std::thread(std::move(work)), std::move(done)});
    }
    ~Helpers()
    {
        for (auto& helper : running_)
            helper.Thread.join();
    }

private:
    struct Helper
    {
        std::thread Thread;
        std::shared_ptr<std::atomic<bool>> Done;
    };
    void Join_Finished()
    {
        for (auto it = running_.begin(); it != running_.end();) {
            if (*it->Done) {
                it->Thread.join();
                it = running_.erase(it);
            } else {
                ++it;
            }
        }
    }
    std::mutex mutex_;
    std::vector<Helper> running_;
};

} // namespace

struct Message_Table_Reader::Shared
{
    std::mutex Mutex;
    std::condition_variable Changed;
    std::atomic<bool> Cancel{false};
    std::shared_ptr<std::atomic<bool>> Done = std::make_shared<std::atomic<bool>>(false);
    std::optional<int> Count;
    std::deque<std::vector<outlook::Message_Row>> Chunks;
    bool Finished = false;
    QString Error;
};

Message_Table_Reader::Message_Table_Reader(std::shared_ptr<outlook::Mapi_Folder> folder)
    : shared_(std::make_shared<Shared>())
{
    auto work = [shared = shared_, folder = std::move(folder)] {
        const auto publish = [&](auto&& change) {
            {
                std::lock_guard lock(shared->Mutex);
                change();
            }
            shared->Changed.notify_all();
        };
        try {
            const std::shared_ptr<outlook::Items_Collection> items = folder->Items();
            outlook::QuorinMAPITable table;
            table.Set_Item(items);
            table.Set_Columns({outlook::PR_SUBJECT, outlook::PR_MESSAGE_DELIVERY_TIME, outlook::PR_ENTRYID,
                               outlook::PR_MESSAGE_CLASS});
            table.GoToFirst();
            const int available = table.RowCount();
            publish([&] { shared->Count = items->Count(); });
            int chunk = kFirstChunk;
            for (int requested = 0; requested < available && !shared->Cancel;) {
                QElapsedTimer read;
                read.start();
                const int want = std::min(chunk, available - requested);
                std::vector<outlook::Message_Row> rows = table.GetRows(want);
                requested += want;
                publish([&] { shared->Chunks.push_back(std::move(rows)); });
                // Chunks grow to what the table reads in a short while, so
                // that a cancelled reader ends soon.
                const qint64 perRow = std::max<qint64>(1, read.nsecsElapsed() / want);
                chunk = int(std::clamp<qint64>(kChunkNanoseconds / perRow, 2 * kFirstChunk, kLargestChunk));
            }
        } catch (const std::exception& e) {
            publish([&] { shared->Error = QString::fromLocal8Bit(e.what()); });
        }
        publish([&] {
            if (!shared->Count)
                shared->Count = 0;
            shared->Finished = true;
        });
        *shared->Done = true;
    };
    Helpers::Instance().Start(std::move(work), shared_->Done);
}

Message_Table_Reader::~Message_Table_Reader()
{
    shared_->Cancel = true;
}

std::optional<int> Message_Table_Reader::Count(std::chrono::milliseconds wait)
{
    std::unique_lock lock(shared_->Mutex);
    shared_->Changed.wait_for(lock, wait, [this] { return shared_->Count.has_value(); });
    return shared_->Count;
}

bool Message_Table_Reader::Take(std::vector<outlook::Message_Row>& rows, std::chrono::milliseconds wait)
{
    std::unique_lock lock(shared_->Mutex);
    shared_->Changed.wait_for(lock, wait, [this] { return !shared_->Chunks.empty() || shared_->Finished; });
    while (!shared_->Chunks.empty()) {
        std::vector<outlook::Message_Row>& chunk = shared_->Chunks.front();
        std::move(chunk.begin(), chunk.end(), std::back_inserter(rows));
        shared_->Chunks.pop_front();
    }
    return !shared_->Finished;
}

QString Message_Table_Reader::Error() const
{
    std::lock_guard lock(shared_->Mutex);
    return shared_->Error;
}

} // namespace bc::windows
