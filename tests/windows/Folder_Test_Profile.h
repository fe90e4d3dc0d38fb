#pragma once
// A small mail profile in a Temp_Home for the folder list and picker tests:
// two stores with mail (Maildir) and contact (vCard) folders.
//
//   Personal Folders (default store, id 0123456789ABCDEF0123456789ABCDEF)
//     Inbox, Bounces, 12345 (mail), Contacts, Work Contacts (contacts),
//     Archive (mail) / Old Contacts (contacts), Tasks (tasks)
//   Shared Store (id FEDCBA9876543210FEDCBA9876543210)
//     Inbox (mail), Team (contacts)

#include "support/Temp_Home.h"

#include <QDir>
#include <QString>

namespace bc::test {

inline const QString kPersonalStoreId = QStringLiteral("0123456789ABCDEF0123456789ABCDEF");
inline const QString kSharedStoreId = QStringLiteral("FEDCBA9876543210FEDCBA9876543210");

// The EntryID of a folder: the upper-case hex of its path inside the store.
inline QString Folder_Entry_ID(const QString& pathInStore)
{
    return QString::fromLatin1(pathInStore.toUtf8().toHex().toUpper());
}

inline void Make_Mail_Folder(const Temp_Home& home, const QString& relative)
{
    for (const char* sub : {"cur", "new", "tmp"})
        QDir().mkpath(home.Profile() + QLatin1Char('/') + relative + QLatin1Char('/') + QLatin1String(sub));
}

inline void Make_Contact_Folder(const Temp_Home& home, const QString& relative)
{
    home.Write(QStringLiteral("profile/") + relative + QStringLiteral("/first.vcf"),
               "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:first\r\nFN:First Person\r\n"
               "EMAIL:first@example.com\r\nEND:VCARD\r\n");
}

inline void Make_Task_Folder(const Temp_Home& home, const QString& relative)
{
    home.Write(QStringLiteral("profile/") + relative + QStringLiteral("/first.ics"),
               "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\nBEGIN:VTODO\r\n"
               "UID:task1\r\nSUMMARY:Task\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
}

inline void Make_Folder_Test_Profile(const Temp_Home& home)
{
    home.Write(
        QStringLiteral("profile/profile.ini"),
        "[User]\nName=Jane Doe\nAddress=jane@example.com\n\n"
        "[Store 1]\nName=Personal Folders\nPath=Personal Folders\nId=0123456789ABCDEF0123456789ABCDEF\n\n"
        "[Store 2]\nName=Shared Store\nPath=Shared\nId=FEDCBA9876543210FEDCBA9876543210\n");
    Make_Mail_Folder(home, QStringLiteral("Personal Folders/Inbox"));
    Make_Mail_Folder(home, QStringLiteral("Personal Folders/Bounces"));
    Make_Mail_Folder(home, QStringLiteral("Personal Folders/12345"));
    Make_Mail_Folder(home, QStringLiteral("Personal Folders/Deleted Items"));
    Make_Contact_Folder(home, QStringLiteral("Personal Folders/Contacts"));
    Make_Contact_Folder(home, QStringLiteral("Personal Folders/Work Contacts"));
    Make_Mail_Folder(home, QStringLiteral("Personal Folders/Archive"));
    Make_Contact_Folder(home, QStringLiteral("Personal Folders/Archive/Old Contacts"));
    Make_Task_Folder(home, QStringLiteral("Personal Folders/Tasks"));
    Make_Mail_Folder(home, QStringLiteral("Shared/Inbox"));
    Make_Contact_Folder(home, QStringLiteral("Shared/Team"));
}

} // namespace bc::test
