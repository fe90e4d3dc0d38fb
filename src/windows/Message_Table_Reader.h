#pragma once
// Reads a mail folder's message table (the folder's items, then their rows in
// chunks) in a helper thread, so that the window listing them keeps handling
// events, above all its stop button, however large the folder is. The rows
// arrive in folder order; the listing takes them as they come.

#include "outlook/Mapi_Components.h"

#include <QString>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace bc::windows {

class Message_Table_Reader
{
public:
    // Starts reading at once.
    explicit Message_Table_Reader(std::shared_ptr<outlook::Mapi_Folder> folder);
    // Asks the helper to stop after its current step and returns without
    // waiting: it finishes on its own (and at the latest at the program's end).
    ~Message_Table_Reader();
    Message_Table_Reader(const Message_Table_Reader&) = delete;
    Message_Table_Reader& operator=(const Message_Table_Reader&) = delete;

    // Waits at most `wait` for the folder's item count; nullopt until known.
    std::optional<int> Count(std::chrono::milliseconds wait);
    // Waits at most `wait` for rows and appends every row read so far to
    // `rows`. False once every row has been taken (or reading failed).
    bool Take(std::vector<outlook::Message_Row>& rows, std::chrono::milliseconds wait);
    // Why reading stopped early; empty when it did not.
    QString Error() const;

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

} // namespace bc::windows
