#pragma once
// Data files are Windows-1252 with CR LF line ends, so that files move
// between the Windows version and this one unchanged.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace bc {

// Characters that Windows-1252 cannot hold become '?'.
QByteArray To_Cp1252(const QString& text);
QString From_Cp1252(const QByteArray& bytes);

// Splits on CR LF or LF; a last line without a line end still counts, and a
// final line end does not make an extra empty line.
QStringList Split_Lines(const QByteArray& cp1252);
QByteArray Join_Lines(const QStringList& lines); // every line, the last too, ends in CR LF

// How far a write is flushed before its file is renamed into place: to the
// disk, or only to the operating system, which keeps it through a killed
// program (not through a power cut) at a fraction of the cost.
enum class Flush
{
    To_Disk,
    To_System
};

// Writes the whole file to a temporary file in the same folder, flushes it and
// renames it into place: a crash or a failure leaves the old file whole.
// On failure returns false and, when given, sets *error to a description.
bool Write_File_Atomically(const QString& path, const QByteArray& data, QString* error = nullptr,
                           Flush flush = Flush::To_Disk);

// Every file the program reads whole stays below this size: a file beyond it
// is damaged or not one of ours, and reading it would only exhaust memory.
inline constexpr qint64 kMax_Data_File_Size = qint64(256) << 20;

// Opens a file without ever blocking and only when it is a regular file of at
// most maxBytes: a named pipe, a device (a link to /dev/zero), a folder or an
// oversized file in its place is refused. flags are open(2) flags (O_RDONLY,
// or O_RDWR | O_CREAT to append). Returns the descriptor, to be closed by the
// caller, or -1 with *error set to a sentence that names the file.
int Open_Regular_File(const QString& path, int flags, qint64 maxBytes, QString* error = nullptr);

// Reads a whole regular file of at most maxBytes (see Open_Regular_File).
// Returns false (and sets *error) when it cannot be read.
bool Read_Whole_File(const QString& path, QByteArray& data, QString* error = nullptr,
                     qint64 maxBytes = kMax_Data_File_Size);

// Deletes a file, also when it is read-only. True when it is gone afterwards.
bool Force_Delete_File(const QString& path);

} // namespace bc
