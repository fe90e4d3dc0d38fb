#include "outlook/Write_Gate.h"

#include "outlook/Mail_Message.h"

#include <QHash>

#include <sys/stat.h>

namespace bc::outlook {
namespace {

struct Pretended
{
    QByteArray Bytes;
    bool Removed = false;
};

struct Gate_State
{
    Write_Gate* Gate = nullptr;
    QHash<QByteArray, Pretended> Preview_Files;
};

Gate_State& State()
{
    static Gate_State state;
    return state;
}

} // namespace

void Set_Write_Gate(Write_Gate* gate)
{
    State().Gate = gate;
    State().Preview_Files.clear();
}

Write_Gate* Installed_Write_Gate()
{
    return State().Gate;
}

bool Previewing()
{
    return State().Gate && State().Gate->Preview();
}

bool Describe_Message_Move(const QByteArray& fromDir, const maildir::Entry& entry, const QByteArray& toDir,
                           Message_Move& move)
{
    struct stat st;
    if (::lstat(maildir::File_Path(fromDir, entry).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    move.From_Dir = fromDir;
    move.Entry = entry;
    move.To_Dir = toDir;
    move.Size = st.st_size;
    move.Mtime_Ns = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

void Announce_Message_Moves(const std::vector<std::shared_ptr<Mail_Item>>& messages, Mapi_Folder& destination)
{
    Write_Gate* gate = Installed_Write_Gate();
    if (!gate)
        return;
    std::vector<Message_Move> batch;
    batch.reserve(messages.size());
    for (const auto& item : messages) {
        const auto* message = dynamic_cast<const Mail_Message*>(item.get());
        Message_Move move;
        if (message && message->Describe_Move(destination, move))
            batch.push_back(std::move(move));
    }
    if (!batch.empty())
        gate->Messages_Moving(batch);
}

void Preview_Contact_Written(const QByteArray& path, const QByteArray& bytes)
{
    State().Preview_Files.insert(path, Pretended{bytes, false});
}

void Preview_Contact_Removed(const QByteArray& path)
{
    State().Preview_Files.insert(path, Pretended{{}, true});
}

bool Preview_Changed_Any()
{
    return !State().Preview_Files.isEmpty();
}

bool Preview_Changed(const QByteArray& path, QByteArray* bytes, bool* removed)
{
    const auto& files = State().Preview_Files;
    if (files.isEmpty())
        return false;
    const auto it = files.constFind(path);
    if (it == files.constEnd())
        return false;
    if (bytes)
        *bytes = it->Bytes;
    if (removed)
        *removed = it->Removed;
    return true;
}

} // namespace bc::outlook
