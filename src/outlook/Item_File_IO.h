#pragma once
// Reading and writing the files of the profile's folders (contacts, tasks,
// messages, folder class files) so that nothing put in a file's place can
// hang or swamp the program, and a kill at any moment leaves every file whole.

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

namespace bc::outlook {

// Opens a file for reading when it is a regular file, without ever blocking
// on a named pipe or device put in its place; -1 otherwise. `followLinks`
// false refuses a symbolic link. A relative path is taken from the open
// directory dirFd (-100, AT_FDCWD: the current one). `st` receives its status.
int Open_Regular_File(const QByteArray& path, struct stat& st, bool followLinks = true, int dirFd = -100);

// The whole of a regular file of at most `limit` bytes (a file that grows
// past the limit while it is read counts as too large). False for anything
// else, and for a file that cannot be read. A relative path is taken from
// the open directory dirFd, as above.
bool Read_Regular_File(const QByteArray& path, qint64 limit, QByteArray& bytes, bool followLinks = true,
                       int dirFd = -100);

// Writes a file whole or not at all: the bytes go to a temporary file in the
// same folder, which is flushed and renamed into place. With `replace` false
// an existing file is never replaced (the write fails). A file its owner made
// read-only is never replaced either.
// On failure *error (when given) tells why and nothing is left behind.
bool Write_Item_File(const QByteArray& path, const QByteArray& bytes, bool replace, QString* error = nullptr);

// The temporary files of Write_Item_File and of message moves: dot files
// that do not end in .vcf or .ics, so that no vCard or iCalendar program and
// no listing of this one takes them for items.
QByteArray New_Temporary_File_Name();
bool Is_Temporary_File_Name(const QByteArray& name);

// Removes the temporary files of this program that a killed process left in
// dir: those whose process no longer runs, and any older than a day.
void Remove_Stale_Temporary_Files(const QByteArray& dir);

// Flushes a folder's entries (a rename or unlink in it) to the disk.
void Sync_Directory(const QByteArray& dir);

// Text that vCard and iCalendar files can carry: NUL and the other control
// characters but tab, CR and LF, lone surrogates and the two noncharacters
// U+FFFE and U+FFFF are dropped.
QString Storable_Text(const QString& text);

// The text without the spaces and tabs it starts with: an iCalendar reader
// drops them from a value, so a task is saved as it will read back.
QString Without_Leading_Blanks(const QString& text);

} // namespace bc::outlook
