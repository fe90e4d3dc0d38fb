#pragma once
// Maildir folders on disk (cur/, new/, tmp/). Paths are raw file-system bytes:
// a message file whose name is not valid UTF-8 must still be found, read and
// moved, so names never pass through a lossy text conversion here.

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace bc::outlook::maildir {

struct Entry
{
    QByteArray Sub;    // "cur" or "new"
    QByteArray File;   // the file name, flags included
    QByteArray Unique; // the file name without its ":2," flags
};

QByteArray Join(const QByteArray& dir, const QByteArray& name);
inline QByteArray File_Path(const QByteArray& dir, const Entry& e)
{
    return Join(Join(dir, e.Sub), e.File);
}

// The unique part of a message file name: everything before the ":2," (or
// ";2," as some tools write on file systems without colons) info suffix.
QByteArray Unique_Name(const QByteArray& fileName);

// A directory with cur/ or new/.
bool Is_Maildir(const QByteArray& dir);

// Regular files of cur/ and new/ (dot files skipped), sorted by unique name.
// A missing folder lists as empty.
std::vector<Entry> List(const QByteArray& dir);
// List(dir), also kept as the folder's index for Find: a run that lists a
// folder and then looks up some of its messages by name reads it only once.
std::vector<Entry> List_And_Index(const QByteArray& dir);

// The delivery time that starts a Maildir file name ("1700000000.M1P2.host"),
// if the name starts that way.
std::optional<qint64> Name_Timestamp(const QByteArray& fileName);
// The name's timestamp, else the file's modification time; invalid when
// neither is known.
QDateTime Delivery_Time(const QByteArray& fileName, const QByteArray& path);
// The time in the local offset of that moment.
QDateTime From_Seconds(qint64 seconds);

// Creates dir with cur/, new/ and tmp/ (parents too). True when they exist.
bool Create(const QByteArray& dir, QString* error = nullptr);

// The current file of the message with this unique name, following flag
// changes made by other mail programs. Backed by a per-folder index that is
// rebuilt only when the folder changed on disk.
std::optional<Entry> Find(const QByteArray& dir, const QByteArray& unique);

// A fresh unique name in the Maildir convention (time, process, counter, host).
QByteArray New_Unique_Name();

// Moves a message into target's cur/ by rename. Never replaces a file: when
// the target already holds a message of the same unique name, the moved one
// gets a new unique name. Across file systems it is copied (flushed) before
// the source is removed, and a move that was killed half-way is finished, not
// repeated, by the next move of the same message: it exists exactly once
// whatever moment the kill came at. Returns the message's new entry in the
// target, or nullopt with *error set (the source is then untouched).
std::optional<Entry> Move(const QByteArray& fromDir, const Entry& entry, const QByteArray& toDir,
                          QString* error = nullptr);

// Puts a moved message back under exactly the name it had (`to` in toDir),
// never over another file; as Move across file systems. False with *error
// set when it could not (the message is then where it was).
bool Move_Back(const QByteArray& fromDir, const Entry& now, const QByteArray& toDir, const Entry& to,
               QString* error = nullptr);

} // namespace bc::outlook::maildir
