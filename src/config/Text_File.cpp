#include "config/Text_File.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
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

bool Read_Whole_File(const QString& path, QByteArray& data, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    data = file.readAll();
    if (file.error() != QFile::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
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
