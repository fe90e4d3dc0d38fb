#pragma once
// Text out of raw messages: header values, bodies, and the header section
// alone for fast listings. GMime stays inside the .cpp files.

#include <QByteArray>
#include <QString>

#include <optional>

namespace bc::outlook::mail_text {

// Initialises GMime once, from any thread.
void Ensure_Gmime();

// A raw (folded, possibly RFC 2047 encoded or 8-bit) header value as text.
QString Decode_Header_Text(const QByteArray& raw);

// Plain text of an HTML document: tags dropped, block ends as line breaks,
// entities decoded, script and style left out.
QString Html_To_Text(const QString& html);

// Skips what some stores put before the headers: blank lines and an mbox
// "From " line.
qsizetype Header_Start(const QByteArray& data);

struct Header_Summary
{
    bool Read = false;                    // false: the file could not be opened
    std::optional<QString> Subject;       // nullopt: no Subject header
    std::optional<QString> Message_Class; // the X-Message-Class header
    qint64 Modified = 0;                  // the file's mtime, seconds
};

// Reads only the header section (up to the first empty line, at most `cap`
// bytes) of a message file; the file's mtime only when asked for. A relative
// path is taken from the open directory dirFd (-100, AT_FDCWD: the current one).
Header_Summary Read_Header_Summary(const QByteArray& path, qsizetype cap = 256 * 1024,
                                   bool wantModified = true, int dirFd = -100);

struct Message_Text
{
    QString Subject;
    QString Body;
    QString Display_To;
    QString Message_Class; // "IPM.Note" unless X-Message-Class says otherwise
};

Message_Text Parse_Message(const QByteArray& data);

} // namespace bc::outlook::mail_text
