#include "config/Text_File.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bc {
namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five unassigned codes.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char Encode_One(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    // The five unassigned codes come back from their C1 stand-ins.
    if (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D)
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] != 0 && kHigh[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

QByteArray To_Cp1252(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (char32_t c : text.toUcs4())
        out.append(Encode_One(c));
    return out;
}

QString From_Cp1252(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b <= 0x9F) {
            char16_t u = kHigh[b - 0x80];
            // The unassigned codes map to the C1 controls of the same value,
            // as Windows itself does, so they survive a round trip.
            out.append(QChar(u != 0 ? u : char16_t(b)));
        } else {
            out.append(QChar(char16_t(b)));
        }
    }
    return out;
}

QStringList Split_Lines(const QByteArray& cp1252)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = cp1252.size();
    while (start < n) {
        qsizetype end = cp1252.indexOf('\n', start);
        if (end < 0)
            end = n;
        qsizetype stop = end;
        if (stop > start && cp1252.at(stop - 1) == '\r')
            --stop;
        lines.append(From_Cp1252(cp1252.mid(start, stop - start)));
        start = end + 1;
    }
    return lines;
}

QByteArray Join_Lines(const QStringList& lines)
{
    QByteArray out;
    for (const QString& line : lines) {
        out.append(To_Cp1252(line));
        out.append("\r\n");
    }
    return out;
}

namespace {

bool Write_Flushed_To_System(const QString& path, const QByteArray& data, QString* error)
{
    QByteArray temp = QFile::encodeName(path) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    bool ok = fd >= 0;
    for (qsizetype done = 0; ok && done < data.size();) {
        const ssize_t n = ::write(fd, data.constData() + done, std::size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        done += n;
    }
    const int code = ok ? 0 : errno;
    if (fd >= 0 && ::close(fd) != 0 && ok)
        ok = false;
    if (ok && ::rename(temp.constData(), QFile::encodeName(path).constData()) == 0)
        return true;
    if (error)
        *error = QString::fromLocal8Bit(std::strerror(code ? code : errno));
    if (fd >= 0)
        ::unlink(temp.constData());
    return false;
}

} // namespace

bool Write_File_Atomically(const QString& path, const QByteArray& data, QString* error, Flush flush)
{
    if (flush == Flush::To_System)
        return Write_Flushed_To_System(path, data, error);
    QSaveFile file(path);
    // QSaveFile refuses to replace a read-only file; the owner may still
    // rename over it, as the Windows version's overwrite did.
    file.setDirectWriteFallback(false);
    // Unbuffered: a buffered short write (disk full, size limit) is only seen
    // in the final flush, which does not report it, and the shortened file
    // would be renamed into place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    qint64 written = 0;
    while (written < data.size()) {
        // After a short write the next attempt fails and names the reason.
        const qint64 n = file.write(data.constData() + written, data.size() - written);
        if (n <= 0) {
            if (error)
                *error = file.errorString();
            file.cancelWriting();
            return false;
        }
        written += n;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

namespace {

void Set_Error(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

QString Size_Text(qint64 bytes)
{
    if (bytes >= (qint64(1) << 20))
        return QStringLiteral("%1 MB").arg(bytes >> 20);
    if (bytes >= 1024)
        return QStringLiteral("%1 KB").arg(bytes >> 10);
    return QStringLiteral("%1 bytes").arg(bytes);
}

// Why a file of this kind is refused; empty for a regular file.
QString Not_Regular(const QString& path, mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    const QString kind = S_ISDIR(mode)                    ? QStringLiteral("a folder")
                         : S_ISFIFO(mode)                 ? QStringLiteral("a named pipe")
                         : S_ISCHR(mode) || S_ISBLK(mode) ? QStringLiteral("a device")
                         : S_ISSOCK(mode)                 ? QStringLiteral("a socket")
                                                          : QStringLiteral("not a file");
    return QStringLiteral("%1 is %2, not a regular file; it is not read.").arg(path, kind);
}

QString Too_Large(const QString& path, qint64 maxBytes)
{
    return QStringLiteral("%1 is larger than %2; it is not read.").arg(path, Size_Text(maxBytes));
}

} // namespace

int Open_Regular_File(const QString& path, int flags, qint64 maxBytes, QString* error)
{
    const QByteArray name = QFile::encodeName(path);
    // Looked at before opening: opening a device may itself do something.
    struct stat st = {};
    if (::stat(name.constData(), &st) == 0) {
        if (const QString refusal = Not_Regular(path, st.st_mode); !refusal.isEmpty()) {
            Set_Error(error, refusal);
            return -1;
        }
    }
    // Non-blocking, so that a named pipe put in place after the look above
    // cannot stop the program until some other process writes to it.
    int fd = -1;
    do
        fd = ::open(name.constData(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        Set_Error(error, QStringLiteral("Cannot open %1: %2").arg(path, qt_error_string(errno)));
        return -1;
    }
    QString refusal;
    if (::fstat(fd, &st) != 0)
        refusal = QStringLiteral("Cannot read %1: %2").arg(path, qt_error_string(errno));
    else if (refusal = Not_Regular(path, st.st_mode); refusal.isEmpty() && st.st_size > maxBytes)
        refusal = Too_Large(path, maxBytes);
    if (!refusal.isEmpty()) {
        ::close(fd);
        Set_Error(error, refusal);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool Read_Whole_File(const QString& path, QByteArray& data, QString* error, qint64 maxBytes)
{
    const int fd = Open_Regular_File(path, O_RDONLY, maxBytes, error);
    if (fd < 0)
        return false;
    struct stat st = {};
    ::fstat(fd, &st);
    // One byte more than the size, so that the end is seen without growing;
    // a file that grows while it is read still stops at the limit.
    QByteArray buffer(qsizetype(std::min<qint64>(st.st_size, maxBytes)) + 1, Qt::Uninitialized);
    qsizetype used = 0;
    QString failure;
    for (;;) {
        if (used == buffer.size()) {
            if (used > maxBytes) {
                failure = Too_Large(path, maxBytes);
                break;
            }
            buffer.resize(qsizetype(std::min<qint64>(qint64(used) * 2, maxBytes + 1)));
        }
        const ssize_t n = ::read(fd, buffer.data() + used, size_t(buffer.size() - used));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            failure = QStringLiteral("Cannot read %1: %2").arg(path, qt_error_string(errno));
            break;
        }
        if (n == 0)
            break;
        used += n;
    }
    ::close(fd);
    if (failure.isEmpty() && used > maxBytes)
        failure = Too_Large(path, maxBytes);
    if (!failure.isEmpty()) {
        Set_Error(error, failure);
        return false;
    }
    buffer.truncate(used);
    data = std::move(buffer);
    return true;
}

bool Force_Delete_File(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return true;
    file.setPermissions(file.permissions() | QFile::WriteOwner | QFile::WriteUser);
    return file.remove() || !QFileInfo::exists(path);
}

} // namespace bc
