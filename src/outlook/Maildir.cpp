#include "outlook/Maildir.h"

#include "outlook/Fault_Points.h"
#include "outlook/Item_File_IO.h"
#include "outlook/Name_Sort.h"

#include <QCryptographicHash>
#include <QHash>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

namespace bc::outlook::maildir {
namespace {

bool Is_Directory(const QByteArray& path)
{
    struct stat st;
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Is_Regular_File(const QByteArray& path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

QString Errno_Text(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

void List_Sub(const QByteArray& dir, const QByteArray& sub, std::vector<Entry>& out)
{
    const QByteArray subDir = Join(dir, sub);
    DIR* d = ::opendir(subDir.constData());
    if (!d)
        return;
    while (const dirent* e = ::readdir(d)) {
        if (e->d_name[0] == '.')
            continue;
        QByteArray name(e->d_name);
        bool regular = e->d_type == DT_REG;
        if (e->d_type == DT_UNKNOWN)
            regular = Is_Regular_File(Join(subDir, name));
        if (!regular)
            continue; // symlinks could point out of the store
        QByteArray unique = Unique_Name(name);
        out.push_back(Entry{sub, std::move(name), std::move(unique)});
    }
    ::closedir(d);
}

// Modification stamps of cur/ and new/: any file added, removed or renamed
// in either changes one of them.
struct Stamp
{
    timespec Cur{};
    timespec New{};
    bool operator==(const Stamp& o) const
    {
        return Cur.tv_sec == o.Cur.tv_sec && Cur.tv_nsec == o.Cur.tv_nsec && New.tv_sec == o.New.tv_sec &&
               New.tv_nsec == o.New.tv_nsec;
    }
};

Stamp Current_Stamp(const QByteArray& dir)
{
    Stamp s;
    struct stat st;
    if (::stat(Join(dir, "cur").constData(), &st) == 0)
        s.Cur = st.st_mtim;
    if (::stat(Join(dir, "new").constData(), &st) == 0)
        s.New = st.st_mtim;
    return s;
}

struct Index
{
    Stamp At;
    QHash<QByteArray, Entry> By_Unique;
};

std::mutex g_index_mutex;
QHash<QByteArray, Index>& Indexes()
{
    static QHash<QByteArray, Index> indexes;
    return indexes;
}

// The first entry of each unique name (a listing is sorted, cur before new).
Index Index_Of(const Stamp& at, const std::vector<Entry>& entries)
{
    Index index;
    index.At = at;
    index.By_Unique.reserve(qsizetype(entries.size()));
    // A sorted listing holds the entries of one name side by side.
    const QByteArray* previous = nullptr;
    for (const Entry& e : entries) {
        if (!previous || e.Unique != *previous)
            index.By_Unique.insert(e.Unique, e);
        previous = &e.Unique;
    }
    return index;
}

Index& Built_Index(const QByteArray& dir, bool rebuild)
{
    auto& all = Indexes();
    auto it = all.find(dir);
    if (it != all.end() && !rebuild)
        return *it;
    if (it == all.end() && all.size() >= 32)
        all.clear();                     // a handful of folders are in use at a time
    const Stamp at = Current_Stamp(dir); // taken first: a change while listing shows next time
    all[dir] = Index_Of(at, List(dir));
    return all[dir];
}

std::optional<Entry> Lookup(const QByteArray& dir, Index& index, const QByteArray& unique)
{
    auto it = index.By_Unique.constFind(unique);
    if (it != index.By_Unique.constEnd() && Is_Regular_File(File_Path(dir, *it)))
        return *it;
    return std::nullopt;
}

// Keeps a cached index in step with a change we made ourselves, unless the
// folder had already changed behind our back (then it is rebuilt when next used).
void Note_Change(const QByteArray& dir, const Stamp& before, const QByteArray& removedUnique,
                 const Entry* added)
{
    std::lock_guard lock(g_index_mutex);
    auto it = Indexes().find(dir);
    if (it == Indexes().end())
        return;
    if (!(it->At == before)) {
        Indexes().erase(it);
        return;
    }
    if (!removedUnique.isEmpty())
        it->By_Unique.remove(removedUnique);
    if (added)
        it->By_Unique.insert(added->Unique, *added);
    it->At = Current_Stamp(dir);
}

bool Write_All(int fd, const char* data, qsizetype size)
{
    qsizetype done = 0;
    while (done < size) {
        ssize_t n = ::write(fd, data + done, size_t(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Reads a regular file in pieces, handing each to `take`; false when it is
// not one or cannot be read (or `take` says so).
template <typename Take> bool Stream_File(const QByteArray& path, struct stat& st, Take take)
{
    const int fd = Open_Regular_File(path, st, false);
    if (fd < 0)
        return false;
    char buf[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        if (!take(buf, n)) {
            ok = false;
            break;
        }
    }
    ::close(fd);
    return ok;
}

QByteArray Digest_Of(const QByteArray& path)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    struct stat st;
    const bool ok = Stream_File(path, st, [&](const char* data, ssize_t n) {
        hash.addData(QByteArrayView(data, n));
        return true;
    });
    return ok ? hash.result() : QByteArray();
}

// Writes a flushed copy of src into dir/tmp/ under a temporary name and
// gives its path; the copy keeps the source's times (the delivery time of
// files whose names carry none).
std::optional<QByteArray> Copy_To_Tmp(const QByteArray& src, const QByteArray& dir, QString* error)
{
    const QByteArray tmpDir = Join(dir, "tmp");
    ::mkdir(tmpDir.constData(), 0700);
    // Copies that a killed move left half-written are of no use to anyone.
    Remove_Stale_Temporary_Files(tmpDir);
    const QByteArray tmp = Join(tmpDir, New_Temporary_File_Name());
    const int out = ::open(tmp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        if (error)
            *error = Errno_Text(errno);
        return std::nullopt;
    }
    struct stat st;
    bool ok = Stream_File(src, st, [&](const char* data, ssize_t n) { return Write_All(out, data, n); });
    Fault_Point("message copy written");
    ok = ok && ::fsync(out) == 0;
    if (ok) {
        const timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(out, times);
    }
    ok = (::close(out) == 0) && ok;
    Fault_Point("message copy flushed");
    if (!ok) {
        ::unlink(tmp.constData());
        if (error)
            *error = QStringLiteral("The message could not be copied.");
        return std::nullopt;
    }
    return tmp;
}

// rename() that never replaces: -1 with errno EEXIST when dst exists.
int Rename_No_Replace(const QByteArray& src, const QByteArray& dst)
{
    int r = ::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE);
    if (r == 0 || (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP))
        return r;
    // The file system cannot rename without replacing: a hard link can.
    if (::link(src.constData(), dst.constData()) != 0)
        return -1;
    ::unlink(src.constData());
    return 0;
}

QByteArray Made_Name(const QByteArray& unique, const QByteArray& digest)
{
    return unique + "-" + digest.toHex().left(16);
}

void Remove_Source(const QByteArray& fromDir, const Entry& source)
{
    ::unlink(File_Path(fromDir, source).constData());
    Fault_Point("message source removed");
    Sync_Directory(Join(fromDir, source.Sub));
}

// The target's entry when it already holds this message under the name a
// move gives it, with the same bytes: a move across file systems was killed
// after its copy was in place. The source is removed and the move is done.
std::optional<Entry> Finish_Interrupted_Move(const QByteArray& fromDir, const Entry& source,
                                             const QByteArray& toDir)
{
    const auto own = Find(toDir, source.Unique);
    if (!own)
        return std::nullopt; // the copy always takes its own name when it is free
    const QByteArray digest = Digest_Of(File_Path(fromDir, source));
    if (digest.isEmpty())
        return std::nullopt;
    for (const auto& there : {own, Find(toDir, Made_Name(source.Unique, digest))}) {
        if (there && Digest_Of(File_Path(toDir, *there)) == digest) {
            Remove_Source(fromDir, source);
            return there;
        }
    }
    return std::nullopt;
}

// Across file systems a move is a copy and a removal, and a kill may come
// between any two steps. The copy is made in the target's tmp/, flushed, and
// renamed into cur/ under the message's own unique name, or, when another
// message holds that name, under one made from it and the message's digest;
// only then is the source removed. So a message that an interrupted move
// left in both folders is found in the target under a name the source
// tells, with the same bytes: the move is finished by removing the source,
// and the message is never copied twice.
std::optional<Entry> Move_Across(const QByteArray& fromDir, const Entry& source, const QByteArray& toDir,
                                 const QByteArray& info, QString* error)
{
    const QByteArray src = File_Path(fromDir, source);
    const QByteArray digest = Digest_Of(src);
    if (digest.isEmpty()) {
        if (error)
            *error = QStringLiteral("The message could not be read.");
        return std::nullopt;
    }
    const QByteArray ownName = source.Unique;
    const QByteArray madeName = Made_Name(source.Unique, digest);
    QByteArray unique = Find(toDir, ownName) ? madeName : ownName;
    if (Find(toDir, unique))
        unique = New_Unique_Name();
    const auto copy = Copy_To_Tmp(src, toDir, error);
    if (!copy)
        return std::nullopt;
    for (int attempt = 0; attempt < 50; ++attempt) {
        const QByteArray dst = Join(Join(toDir, "cur"), unique + info);
        if (Rename_No_Replace(*copy, dst) == 0) {
            Fault_Point("message copy in place");
            Sync_Directory(Join(toDir, "cur"));
            Remove_Source(fromDir, source);
            return Entry{"cur", unique + info, unique};
        }
        if (errno != EEXIST)
            break;
        unique = New_Unique_Name();
    }
    const int code = errno;
    ::unlink(copy->constData());
    if (error)
        *error =
            code == EEXIST ? QStringLiteral("No free file name in the target folder.") : Errno_Text(code);
    return std::nullopt;
}

} // namespace

QByteArray Join(const QByteArray& dir, const QByteArray& name)
{
    if (dir.endsWith('/'))
        return dir + name;
    return dir + '/' + name;
}

QByteArray Unique_Name(const QByteArray& fileName)
{
    qsizetype cut = fileName.indexOf(':');
    if (cut < 0)
        cut = fileName.indexOf(";2,");
    return cut < 0 ? fileName : fileName.left(cut);
}

bool Is_Maildir(const QByteArray& dir)
{
    return Is_Directory(Join(dir, "cur")) || Is_Directory(Join(dir, "new"));
}

std::vector<Entry> List(const QByteArray& dir)
{
    std::vector<Entry> out;
    List_Sub(dir, "cur", out);
    List_Sub(dir, "new", out);
    Sort_By_Name(
        out, [](const Entry& e) -> const QByteArray& { return e.Unique; },
        [](const Entry& a, const Entry& b) { return a.Sub != b.Sub ? a.Sub < b.Sub : a.File < b.File; });
    return out;
}

std::vector<Entry> List_And_Index(const QByteArray& dir)
{
    const Stamp at = Current_Stamp(dir); // taken first: a change while listing shows next time
    std::vector<Entry> entries = List(dir);
    Index fresh = Index_Of(at, entries);
    std::lock_guard lock(g_index_mutex);
    auto& all = Indexes();
    if (!all.contains(dir) && all.size() >= 32)
        all.clear(); // a handful of folders are in use at a time
    all[dir] = std::move(fresh);
    return entries;
}

std::optional<qint64> Name_Timestamp(const QByteArray& fileName)
{
    qsizetype i = 0;
    qint64 value = 0;
    while (i < fileName.size() && i < 12 && fileName[i] >= '0' && fileName[i] <= '9')
        value = value * 10 + (fileName[i++] - '0');
    if (i == 0 || i >= fileName.size() || fileName[i] != '.' || value <= 0)
        return std::nullopt;
    return value;
}

QDateTime From_Seconds(qint64 seconds)
{
    // The C library stats the zone file on every local-time call; a listing
    // of 100,000 messages asks for a few days only, so keep each day's offset.
    // A day whose offset changes (a DST switch) is asked per moment.
    thread_local QHash<qint64, std::optional<int>> days;
    const auto offset_at = [](qint64 s) -> std::optional<int> {
        const time_t t = time_t(s);
        tm local{};
        if (!::localtime_r(&t, &local))
            return std::nullopt;
        return int(local.tm_gmtoff);
    };
    const qint64 day = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    auto it = days.find(day);
    if (it == days.end()) {
        const auto first = offset_at(day * 86400);
        const auto last = offset_at(day * 86400 + 86399);
        if (days.size() > 100000)
            days.clear();
        it = days.insert(day, first && first == last ? first : std::nullopt);
    }
    const std::optional<int> offset = *it ? *it : offset_at(seconds);
    if (!offset)
        return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::OffsetFromUTC, *offset);
}

QDateTime Delivery_Time(const QByteArray& fileName, const QByteArray& path)
{
    if (auto t = Name_Timestamp(fileName))
        return From_Seconds(*t);
    struct stat st;
    if (::stat(path.constData(), &st) == 0)
        return From_Seconds(st.st_mtim.tv_sec);
    return {};
}

bool Create(const QByteArray& dir, QString* error)
{
    // Parents first, then the three parts; an existing part is fine.
    QByteArray partial;
    const QList<QByteArray> parts = dir.split('/');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        partial += (i == 0 ? QByteArray() : QByteArray("/")) + parts[i];
        if (partial.isEmpty() || Is_Directory(partial))
            continue;
        if (::mkdir(partial.constData(), 0700) != 0 && errno != EEXIST) {
            if (error)
                *error = Errno_Text(errno);
            return false;
        }
    }
    for (const char* sub : {"tmp", "new", "cur"}) {
        const QByteArray p = Join(dir, sub);
        if (::mkdir(p.constData(), 0700) != 0 && errno != EEXIST) {
            if (error)
                *error = Errno_Text(errno);
            return false;
        }
    }
    return Is_Directory(Join(dir, "cur"));
}

std::optional<Entry> Find(const QByteArray& dir, const QByteArray& unique)
{
    if (unique.isEmpty())
        return std::nullopt;
    std::lock_guard lock(g_index_mutex);
    const bool known = Indexes().contains(dir);
    Index& index = Built_Index(dir, false);
    if (auto found = Lookup(dir, index, unique))
        return found;
    if (!known || index.At == Current_Stamp(dir))
        return std::nullopt; // the index is current: the message is not there
    return Lookup(dir, Built_Index(dir, true), unique);
}

QByteArray New_Unique_Name()
{
    static std::atomic<unsigned> counter{0};
    timeval tv;
    ::gettimeofday(&tv, nullptr);
    char host[256] = {0};
    ::gethostname(host, sizeof host - 1);
    QByteArray h;
    for (const char* p = host; *p; ++p) {
        if (*p == '/')
            h += "\\057";
        else if (*p == ':')
            h += "\\072";
        else
            h += *p;
    }
    if (h.isEmpty())
        h = "localhost";
    char head[96];
    std::snprintf(head, sizeof head, "%lld.M%06ldP%dQ%u.", static_cast<long long>(tv.tv_sec),
                  static_cast<long>(tv.tv_usec), static_cast<int>(::getpid()), ++counter);
    return QByteArray(head) + h;
}

std::optional<Entry> Move(const QByteArray& fromDir, const Entry& entry, const QByteArray& toDir,
                          QString* error)
{
    Entry source = entry;
    if (!Is_Regular_File(File_Path(fromDir, source))) {
        auto moved = Find(fromDir, entry.Unique); // a flag change renamed it
        if (!moved) {
            if (error)
                *error = QStringLiteral("The message no longer exists.");
            return std::nullopt;
        }
        source = *moved;
    }
    if (fromDir == toDir)
        return source;
    if (!Create(toDir, error))
        return std::nullopt;

    QByteArray info = source.File.mid(source.Unique.size());
    if (info.isEmpty())
        info = ":2,"; // a message in cur/ carries its (empty) flags
    const QByteArray src = File_Path(fromDir, source);
    const Stamp fromBefore = Current_Stamp(fromDir);
    const Stamp toBefore = Current_Stamp(toDir);
    const auto finished = [&](const Entry& done) {
        Note_Change(fromDir, fromBefore, source.Unique, nullptr);
        Note_Change(toDir, toBefore, {}, &done);
        return done;
    };
    if (auto done = Finish_Interrupted_Move(fromDir, source, toDir))
        return finished(*done);
    QByteArray unique = source.Unique;
    if (Find(toDir, unique))
        unique = New_Unique_Name();
    if (!Simulated_Cross_Device()) {
        for (int attempt = 0; attempt < 50; ++attempt) {
            const QByteArray dst = Join(Join(toDir, "cur"), unique + info);
            if (Rename_No_Replace(src, dst) == 0) {
                Fault_Point("message moved");
                return finished(Entry{"cur", unique + info, unique});
            }
            if (errno != EEXIST)
                break;
            unique = New_Unique_Name();
        }
        if (errno != EXDEV) {
            if (error)
                *error = errno == EEXIST ? QStringLiteral("No free file name in the target folder.")
                                         : Errno_Text(errno);
            return std::nullopt;
        }
    }
    if (auto done = Move_Across(fromDir, source, toDir, info, error))
        return finished(*done);
    return std::nullopt;
}

bool Move_Back(const QByteArray& fromDir, const Entry& now, const QByteArray& toDir, const Entry& to,
               QString* error)
{
    const QByteArray src = File_Path(fromDir, now);
    const QByteArray dst = File_Path(toDir, to);
    if (!Is_Regular_File(src)) {
        if (error)
            *error = QStringLiteral("The message no longer exists.");
        return false;
    }
    if (!Create(toDir, error))
        return false;
    const Stamp fromBefore = Current_Stamp(fromDir);
    const Stamp toBefore = Current_Stamp(toDir);
    int result = Rename_No_Replace(src, dst);
    int code = result == 0 ? 0 : errno;
    if (code == EXDEV) {
        const auto copy = Copy_To_Tmp(src, toDir, error);
        if (!copy)
            return false;
        result = Rename_No_Replace(*copy, dst);
        code = result == 0 ? 0 : errno;
        ::unlink(result == 0 ? src.constData()
                             : copy->constData()); // the source only once the copy is in place
    }
    if (result != 0) {
        if (error)
            *error = code == EEXIST ? QStringLiteral("Another message has its name.") : Errno_Text(code);
        return false;
    }
    Note_Change(fromDir, fromBefore, now.Unique, nullptr);
    Note_Change(toDir, toBefore, {}, &to);
    return true;
}

} // namespace bc::outlook::maildir
