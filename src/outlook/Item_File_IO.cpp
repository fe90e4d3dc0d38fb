#include "outlook/Item_File_IO.h"

#include "outlook/Fault_Points.h"

#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace bc::outlook {
namespace {

const QByteArray kTemporaryPrefix = ".brindlecast-tmp-";

QByteArray Directory_Of(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

QString Errno_Text(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

bool Write_All(int fd, const QByteArray& data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, std::size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}

// rename() that fails with EEXIST instead of replacing; a hard link stands in
// on file systems without the no-replace flag.
int Rename_No_Replace(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return -1;
    if (::link(from.constData(), to.constData()) != 0)
        return -1;
    ::unlink(from.constData());
    return 0;
}

// The process id in a temporary name, or 0.
pid_t Writer_Of(const QByteArray& name)
{
    const QByteArray rest = name.mid(kTemporaryPrefix.size());
    bool ok = false;
    const long pid = rest.left(rest.indexOf('-')).toLong(&ok);
    return ok && pid > 0 ? pid_t(pid) : 0;
}

} // namespace

int Open_Regular_File(const QByteArray& path, struct stat& st, bool followLinks, int dirFd)
{
    static_assert(AT_FDCWD == -100);
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (followLinks ? 0 : O_NOFOLLOW);
    const int fd = ::openat(dirFd, path.constData(), flags);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool Read_Regular_File(const QByteArray& path, qint64 limit, QByteArray& bytes, bool followLinks, int dirFd)
{
    struct stat st;
    const int fd = Open_Regular_File(path, st, followLinks, dirFd);
    if (fd < 0)
        return false;
    bool ok = st.st_size <= limit;
    if (ok) {
        // One byte more than its size: a short read that reaches the size is
        // the end of the file, without asking again; a file that grew meanwhile
        // is read to its new end, up to the limit.
        const qsizetype size = qsizetype(st.st_size);
        bytes.resize(size + 1);
        qsizetype done = 0;
        for (;;) {
            if (done == bytes.size())
                bytes.resize(done + 65536);
            const ssize_t n = ::read(fd, bytes.data() + done, std::size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                ok = false;
                break;
            }
            done += n;
            if (done > limit) {
                ok = false;
                break;
            }
            if (n == 0 || (done >= size && done < bytes.size()))
                break;
        }
        bytes.truncate(ok ? done : 0);
    }
    ::close(fd);
    return ok;
}

QByteArray New_Temporary_File_Name()
{
    return kTemporaryPrefix + QByteArray::number(::getpid()) + '-' +
           QByteArray::number(QRandomGenerator::global()->generate64(), 16);
}

bool Is_Temporary_File_Name(const QByteArray& name)
{
    return name.startsWith(kTemporaryPrefix) && Writer_Of(name) != 0;
}

void Remove_Stale_Temporary_Files(const QByteArray& dir)
{
    DIR* d = ::opendir(dir.constData());
    if (!d)
        return;
    const time_t dayAgo = std::time(nullptr) - 24 * 3600;
    while (const dirent* e = ::readdir(d)) {
        const QByteArray name(e->d_name);
        if (!Is_Temporary_File_Name(name))
            continue;
        const QByteArray path = dir + '/' + name;
        struct stat st;
        if (::lstat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        const pid_t writer = Writer_Of(name);
        const bool gone = writer != ::getpid() && ::kill(writer, 0) != 0 && errno == ESRCH;
        if (gone || st.st_mtime < dayAgo)
            ::unlink(path.constData());
    }
    ::closedir(d);
}

void Sync_Directory(const QByteArray& dir)
{
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

bool Write_Item_File(const QByteArray& path, const QByteArray& bytes, bool replace, QString* error)
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const QByteArray dir = Directory_Of(path);
    mode_t mode = 0666; // narrowed by the umask, as for any new file
    struct stat existing;
    if (::lstat(path.constData(), &existing) == 0) {
        if (!replace)
            return fail(Errno_Text(EEXIST));
        if (!S_ISREG(existing.st_mode))
            return fail(QStringLiteral("It is not a regular file."));
        if (!(existing.st_mode & S_IWUSR))
            return fail(QStringLiteral("The file is read-only."));
        mode = existing.st_mode & 07777;
    }
    const QByteArray temporary = dir + '/' + New_Temporary_File_Name();
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return fail(Errno_Text(errno));
    if (mode != 0666)
        ::fchmod(fd, mode); // the replaced file's permissions, exactly
    bool ok = Write_All(fd, bytes);
    Fault_Point("item file written");
    ok = ok && ::fsync(fd) == 0;
    int code = errno;
    Fault_Point("item file flushed");
    if (::close(fd) != 0 && ok) {
        ok = false;
        code = errno;
    }
    if (ok) {
        const int r =
            replace ? ::rename(temporary.constData(), path.constData()) : Rename_No_Replace(temporary, path);
        ok = r == 0;
        code = errno;
    }
    if (!ok) {
        ::unlink(temporary.constData());
        return fail(Errno_Text(code));
    }
    // The folder is not flushed: a kill cannot lose a rename, and after a
    // power loss the file is whole, old or new.
    Fault_Point("item file renamed");
    return true;
}

QString Without_Leading_Blanks(const QString& text)
{
    qsizetype start = 0;
    while (start < text.size() && (text[start] == QLatin1Char(' ') || text[start] == QLatin1Char('\t')))
        ++start;
    return text.mid(start);
}

QString Storable_Text(const QString& text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            out.append(c).append(text[++i]);
            continue;
        }
        const bool control = (u < 0x20 && u != u'\t' && u != u'\r' && u != u'\n');
        if (control || c.isSurrogate() || u == 0xFFFE || u == 0xFFFF)
            continue;
        out.append(c);
    }
    return out;
}

} // namespace bc::outlook
