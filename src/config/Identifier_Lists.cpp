#include "config/Identifier_Lists.h"

#include "config/Address_Case.h"
#include "config/App_State.h"
#include "config/Data_Strings.h"
#include "config/Text_File.h"
#include "config/User_Messages.h"

#include <QFile>
#include <QFileInfo>
#include <QStringMatcher>

#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace bc {
namespace {

const QString kFileError = QStringLiteral("Error on reading data file. Error: ");
const QString kNoCheckLoadError = QStringLiteral("Error on reading Setup_No_Check Array. Error: ");

QString List_File_Path(const QString& fileName)
{
    const QString& folder = App().Data_Folder;
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder + fileName;
    return folder + QLatin1Char('/') + fileName;
}

QStringList Non_Empty(const QStringList& rows)
{
    QStringList kept;
    for (const QString& row : rows)
        if (!row.isEmpty())
            kept.append(row);
    return kept;
}

// Replaces the whole file and, only once it is safely in place, the list.
bool Store_Search_Strings(const QStringList& entries)
{
    QString error;
    if (!Write_File_Atomically(List_File_Path(kSearchStringsFile), Join_Lines(entries), &error)) {
        Messages().Show_Message(kFileError + error);
        return false;
    }
    Lists().Search_Strings.clear();
    for (const QString& entry : entries)
        Add_Search_String(entry);
    return true;
}

} // namespace

Identifier_Lists& Lists()
{
    static Identifier_Lists lists;
    return lists;
}

const QStringList& Fallback_Search_Strings()
{
    static const QStringList phrases = {
        QStringLiteral("autoforward of message"),
        QStringLiteral("could not send message"),
        QStringLiteral("delivery failure"),
        QStringLiteral("delivery has failed"),
        QStringLiteral("delivery notification"),
        QStringLiteral("Delivery Problem"),
        QStringLiteral("Delivery has timed out and failed"),
        QStringLiteral("delivery status notification"),
        QStringLiteral("failure delivery"),
        QStringLiteral("failure notice"),
        QStringLiteral("Illegal Address"),
        QStringLiteral("Mail delivery failed"),
        QStringLiteral("mail failed"),
        QStringLiteral("message status notification"),
        QStringLiteral("nondeliverable mail"),
        QStringLiteral("non-delivery report"),
        QStringLiteral("Notification-message parts discarded not delivered"),
        QStringLiteral("Not a valid e-mail address"),
        QStringLiteral("Not Delivered"),
        QStringLiteral("non-delivery"),
        QStringLiteral("permanent delivery failure"),
        QStringLiteral("problem delivering your mail"),
        QStringLiteral("problem delivering your email"),
        QStringLiteral("return receipt"),
        QStringLiteral("returned mail"),
        QStringLiteral("returned email"),
        QStringLiteral("undeliverable"),
        QStringLiteral("undelivered"),
        QStringLiteral("User does not exist"),
    };
    return phrases;
}

const QStringList& Reset_Search_Strings()
{
    static const QStringList phrases = Fallback_Search_Strings() + QStringList{QStringLiteral("warning:")};
    return phrases;
}

void Add_Search_String(const QString& text)
{
    Lists().Search_Strings.append(text);
}

void Add_No_Check_String(const QString& text)
{
    Lists().No_Check_Strings.append(Upper_Address(text));
}

void Setup_Search_Strings()
{
    Lists().Search_Strings.clear();
    const QString path = List_File_Path(kSearchStringsFile);
    // Only a missing file falls back: an empty file is an empty list.
    if (!QFileInfo::exists(path)) {
        for (const QString& phrase : Fallback_Search_Strings())
            Add_Search_String(phrase);
        return;
    }
    QByteArray data;
    QString error;
    if (!Read_Whole_File(path, data, &error)) {
        Messages().Show_Message(kFileError + error);
        return;
    }
    for (const QString& line : Split_Lines(data))
        if (!line.isEmpty())
            Add_Search_String(line);
}

void Setup_No_Check()
{
    const QString path = List_File_Path(kNoCheckStringsFile);
    if (!QFileInfo::exists(path))
        return;
    Lists().No_Check_Strings.clear();
    QByteArray data;
    QString error;
    if (!Read_Whole_File(path, data, &error)) {
        Messages().Show_Message(kNoCheckLoadError + error);
        return;
    }
    // A line that does not decrypt becomes an empty entry, which no address
    // equals; the next save drops it.
    for (const QString& line : Split_Lines(data))
        Add_No_Check_String(Decrypt_Data_String(line));
}

bool Contains_Return_Identifier(const QString& subject)
{
    if (subject.isEmpty())
        return false;
    // The test runs once per message of a folder, so the upper-cased
    // identifiers are kept until the list changes. A copy of the list shares
    // its data, which makes the unchanged case a pointer comparison. Per
    // thread, since message files may be read by helper threads.
    thread_local QStringList source;
    thread_local std::vector<QStringMatcher> upperEntries;
    const QStringList& entries = Lists().Search_Strings;
    if (!(source == entries)) {
        source = entries;
        upperEntries.clear();
        // A blank identifier (a line of spaces the list keeps) would mark
        // every subject with a space as returned.
        for (const QString& entry : entries)
            if (!entry.trimmed().isEmpty())
                upperEntries.emplace_back(entry.toUpper());
    }
    const QString upperSubject = subject.toUpper();
    for (const QStringMatcher& entry : upperEntries)
        if (entry.indexIn(upperSubject) >= 0)
            return true;
    return false;
}

bool Is_No_Check_String(const QString& address)
{
    return Lists().No_Check_Strings.contains(address);
}

bool Save_Search_Strings(const QStringList& rows)
{
    return Store_Search_Strings(Non_Empty(rows));
}

bool Reset_Search_Strings_To_Default()
{
    return Store_Search_Strings(Reset_Search_Strings());
}

bool Append_Search_String(const QString& text)
{
    if (text.isEmpty())
        return false; // no writer leaves an empty line in the file
    const QString path = List_File_Path(kSearchStringsFile);
    QByteArray data;
    QString error;
    if (QFileInfo::exists(path) && !Read_Whole_File(path, data, &error)) {
        Messages().Show_Message(kFileError + error);
        return false;
    }
    // A file edited by hand may lack its last line end; without one the new
    // identifier would be glued onto the last one.
    if (!data.isEmpty() && !data.endsWith('\n'))
        data += "\r\n";
    data += To_Cp1252(text) + "\r\n";
    // The whole file is replaced, so a failure part-way never leaves half a line.
    if (!Write_File_Atomically(path, data, &error)) {
        Messages().Show_Message(kFileError + error);
        return false;
    }
    Add_Search_String(text);
    return true;
}

bool Save_No_Check_Strings(const QStringList& rows)
{
    const QString path = List_File_Path(kNoCheckStringsFile);
    if (rows.isEmpty()) {
        // An empty list is stored as no file at all.
        if (!Force_Delete_File(path)) {
            Messages().Show_Message(kFileError + QStringLiteral("Could not delete %1").arg(path));
            return false;
        }
        Lists().No_Check_Strings.clear();
        return true;
    }
    const QStringList entries = Non_Empty(rows);
    QStringList lines;
    for (const QString& entry : entries) {
        const QString line = Encrypt_Data_String(entry);
        if (line.isEmpty()) {
            Messages().Show_Message(kFileError + Data_String_Error());
            return false;
        }
        lines.append(line);
    }
    QString error;
    if (!Write_File_Atomically(path, Join_Lines(lines), &error)) {
        Messages().Show_Message(kFileError + error);
        return false;
    }
    Lists().No_Check_Strings.clear();
    for (const QString& entry : entries)
        Add_No_Check_String(entry);
    return true;
}

bool Reset_No_Check_To_Default(const std::function<std::optional<QString>()>& currentUserAddress,
                               QStringList& editorRows)
{
    Messages().Show_Message(
        QStringLiteral("This query may result on a message from Outlook re. accessing your profile.\r\n"
                       "If this happens, simply set the timeout to 1 minute and press ok."));
    std::optional<QString> address;
    bool failed = false;
    try {
        if (currentUserAddress)
            address = currentUserAddress();
    } catch (...) {
        failed = true;
    }
    // Without an address the reset stops: the old list stays in force, in
    // memory and on disk, so the user's own address is still protected. Only
    // a failure to ask is reported as a failure.
    const QString notSet = QStringLiteral(
        "Your default email has not been set. Bounced emails may attach to your contact record.");
    if (failed) {
        Messages().Show_Message(QStringLiteral("Failed to set default Email Address!!!\r\n") + notSet);
        return false;
    }
    if (!address || address->isEmpty()) {
        Messages().Show_Message(notSet);
        return false;
    }
    const QStringList rows{address->toLower()};
    if (!Save_No_Check_Strings(rows))
        return false;
    editorRows = rows;
    return true;
}

} // namespace bc
