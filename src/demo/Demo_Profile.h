#pragma once
// A demo profile to try the program on: Jane Doe's "Personal Folders" with an
// Inbox of ordinary and returned mail (in the forms common mail servers
// write), a contact folder in which several contacts carry the bounced
// addresses, Tasks, Deleted Items and a "Bounced" folder.
//
// The tables below are the one place that says what the demo holds, so that
// a run over it can be checked.

#include <QString>
#include <QStringList>

#include <vector>

namespace bc::outlook {

// Writes a fresh demo profile into profileFolder (which must not hold a
// profile yet). False and *error on failure.
bool Write_Demo_Profile(const QString& profileFolder, QString* error = nullptr);

namespace demo {

inline constexpr const char* kUser_Name = "Jane Doe";
// Appears in the returned messages; it belongs on the no-check list.
inline constexpr const char* kUser_Address = "jane.doe@example.com";
inline constexpr const char* kStore_Name = "Personal Folders";

struct Returned_Message
{
    QString File;          // the message's unique name in the Inbox
    QString Subject;       // decoded
    QString Form;          // which server wrote it, and how
    QString Message_Class; // "IPM.Note", or a report class that a run leaves alone
    QStringList Failed;    // the addresses reported as undeliverable
    QStringList Others;    // every other address in its body text (the user's own, postmasters)
};

// A contact that carries a failed address of a returned message.
struct Bounced_Contact
{
    QString File; // the .vcf file in Contacts
    QString Full_Name;
    int Slot;        // 1, 2 or 3: Email1Address .. Email3Address
    QString Address; // as written in the card (letter case varies)
};

const std::vector<Returned_Message>& Returned_Messages();
const std::vector<Bounced_Contact>& Bounced_Contacts();
// Addresses that only ordinary (not returned) mail mentions; some contacts carry them.
const QStringList& Ordinary_Mail_Addresses();
int Ordinary_Message_Count();
int Contact_Count();

} // namespace demo
} // namespace bc::outlook
