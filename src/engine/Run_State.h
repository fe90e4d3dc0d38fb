#pragma once
// What one run (or one manual processing) works on, kept program-wide until
// the next one replaces it: the input folder's message table, the store it
// came from, the bounced addresses found in it and the folder that returned
// messages go to.

#include "outlook/Mapi_Components.h"
#include "outlook/Object_Model.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <memory>
#include <vector>

namespace bc::engine {

struct Bounced_Email
{
    QString Email_Address;    // upper case, no spaces; empty for a repeat in a later message
    qint32 Message_Index = 0; // row in Message_Rows of the message it was found in
};

// The bounced addresses in the order they were found. A non-empty address is
// listed once, with the first message that carried it; a later message with
// the same address gets an empty-address record so that the disposal still
// moves it. Beside the ordered records an index by address keeps adding and
// looking up independent of the list's length.
class Bounced_Email_List
{
public:
    void Clear();
    void Add(const QString& address, qint32 rowIndex);
    // The Message_Index of the first record with that address; an empty
    // address is never found.
    bool Find(const QString& address, qint32* messageIndex) const;
    const std::vector<Bounced_Email>& Records() const { return records_; }
    qint32 Count() const { return static_cast<qint32>(records_.size()); }
    bool Empty() const { return records_.empty(); }

private:
    std::vector<Bounced_Email> records_;
    QHash<QString, qint32> first_; // address -> Message_Index of its first record
};

// The bodies of the returned messages, as the scan read them, for the notes:
// each body is read once per run however many contacts it bounced. Kept by
// the message's EntryID, so that a later listing's rows never meet a body of
// another message; bodies beyond a total size are not kept (and read again).
class Message_Body_Cache
{
public:
    void Clear();
    void Keep(const QByteArray& entryId, const QString& body);
    const QString* Find(const QByteArray& entryId) const;

private:
    QHash<QByteArray, QString> bodies_;
    qint64 size_ = 0;
};

struct Run_State
{
    std::vector<outlook::Message_Row> Message_Rows;
    QString Input_Store_ID;
    Bounced_Email_List Bounced_Emails;
    // Written by Find_Bounced_Email on a hit, kept on a miss.
    qint32 Found_Message_Index = 0;
    std::shared_ptr<outlook::Mapi_Folder> Destination_Folder;
    Message_Body_Cache Message_Bodies;
    // Rows whose matching contacts could not be handled: their messages stay
    // in the input folder, so that a later run finds those contacts again.
    QSet<qint32> Kept_Messages;
    // A database's walk ended in an error: every returned message stays.
    bool Walk_Failed = false;
    // The run, or one of its walks, ended in an error (an unattended run's
    // exit code tells it).
    bool Run_Failed = false;

    qint32 Num_Bounced_Emails() const { return Bounced_Emails.Count(); }
};

// The program-wide state.
Run_State& State();

void Add_Bounced_Email(const QString& address, qint32 rowIndex);
bool Find_Bounced_Email(const QString& address);

// Opens the message of a row of Message_Rows in Input_Store_ID. Throws
// Outlook_Error when the row does not exist or the message cannot be opened.
std::shared_ptr<outlook::Mail_Item> Open_Message_Row(qint32 rowIndex);

// The body of a row's message: the one the scan read, else read now (and
// kept). Throws like Open_Message_Row.
QString Message_Row_Body(qint32 rowIndex);

} // namespace bc::engine
