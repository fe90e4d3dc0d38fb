#pragma once
// The generated profile of the run benchmarks: messages (one in a hundred of
// them returned) and contacts in one folder, a few hundred of which carry
// bounced addresses; one contact in eight has a name in UTF-8, one in ten a
// folded line and one in fifty its addresses in quoted-printable.

#include "config/App_State.h"
#include "config/Contact_Folder_List.h"
#include "config/Identifier_Lists.h"
#include "config/Registry_Routines.h"
#include "outlook/Outlook_Session.h"
#include "outlook/Profile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <map>

#include <unistd.h>

namespace bc::bench {

const char* const kFirst[] = {"Anna", "Ben",  "Clara", "David", "Eva",   "Felix", "Grace",
                              "Hugo", "Iris", "Jonas", "Karin", "Lukas", "Mia",   "Noah",
                              "Olga", "Paul", "Rosa",  "Simon", "Tara",  "Viktor"};
// Some names in UTF-8, as real address books have them.
const char* const kLast[] = {"Adler",       "Berger",     "Costa", "Dubois", "Engel",  "Fischer",
                             "Garc\u00EDa", "Hansen",     "Ito",   "Jansen", "Keller", "Larsen",
                             "Moreau",      "Nov\u00E1k", "Olsen", "Petrov"};
const char* const kDomains[] = {"example.com", "example.org", "example.net", "mail.example", "corp.example"};

inline QByteArray Filler(int bytes, int seed)
{
    static const QByteArray words =
        "the quarterly report shows steady progress on all open items and the team "
        "would like to meet next week to discuss the remaining questions about budget ";
    QByteArray out;
    out.reserve(bytes + 80);
    int column = 0;
    for (int i = seed % 50; out.size() < bytes; i += 7) {
        const char c = words.at(i % words.size());
        out += c;
        if (++column > 72 && c == ' ') {
            out += "\r\n";
            column = 0;
        }
    }
    return out + "\r\n";
}

inline QByteArray Bounced_Address(int k)
{
    return "user" + QByteArray::number(k) + "@" + kDomains[k % 5];
}

inline void Write(const QString& path, const QByteArray& data)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
}

struct Scale
{
    int messages;
    int returned;
    int contacts;
    int matching;
};

inline void Generate_Messages(const QString& inbox, const Scale& s)
{
    const int step = s.messages / s.returned;
    int bounce = 0;
    for (int i = 0; i < s.messages; ++i) {
        const QByteArray unique =
            QByteArray::number(1600000000 + i) + ".M" + QByteArray::number(i) + "P7.bench";
        QByteArray text = "Return-Path: <>\r\nReceived: from mx.example.net by mail.example.com\r\n"
                          "Date: Mon, 2 Mar 2026 10:00:00 +0000\r\nMessage-ID: <" +
                          unique + "@bench>\r\nMIME-Version: 1.0\r\n";
        if (i % step == step / 2 && bounce < s.returned) {
            const QByteArray failed = Bounced_Address(bounce++);
            text += "From: Mail Delivery System <MAILER-DAEMON@mx.example.net>\r\n"
                    "To: Jane Doe <jane.doe@example.com>\r\n"
                    "Subject: Undelivered Mail Returned to Sender\r\n"
                    "Content-Type: text/plain; charset=us-ascii\r\n\r\n"
                    "This is the mail system at host mx.example.net.\r\n\r\n"
                    "I'm sorry to have to inform you that your message could not\r\n"
                    "be delivered to one or more recipients.\r\n\r\n"
                    "For further assistance, please send mail to postmaster@mx.example.net.\r\n\r\n"
                    "<" +
                    failed + ">: host mx2.example.net said: 550 5.1.1 <" + failed +
                    ">: Recipient address rejected: User unknown\r\n\r\n"
                    "--- original message ---\r\nFrom: Jane Doe <jane.doe@example.com>\r\nTo: " +
                    failed + "\r\nSubject: Quarterly report\r\n\r\n" + Filler(1500 + (i % 7) * 300, i);
        } else {
            text += "From: " + QByteArray(kFirst[i % 20]) + " <" + QByteArray(kFirst[i % 20]).toLower() +
                    "@" + kDomains[i % 5] +
                    ">\r\nTo: Jane Doe <jane.doe@example.com>\r\nSubject: Re: report " +
                    QByteArray::number(i) + "\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n" +
                    Filler(1000 + (i % 11) * 400 + (i % 97 == 0 ? 40000 : 0), i);
        }
        Write(inbox + "/cur/" + QString::fromLatin1(unique) + ":2,S", text);
    }
}

inline void Generate_Contacts(const QString& folder, const Scale& s)
{
    const int step = s.contacts / s.matching;
    int match = 0;
    for (int i = 0; i < s.contacts; ++i) {
        const QByteArray first = kFirst[i % 20];
        const QByteArray last = kLast[(i / 20) % 16];
        const QByteArray n = QByteArray::number(i);
        QByteArray emails[3] = {first.toLower() + "." + last.toLower() + n + "@" + kDomains[i % 5],
                                i % 3 ? first.toLower() + n + "@home.example" : QByteArray(),
                                i % 7 == 0 ? last.toLower() + n + "@old.example" : QByteArray()};
        if (i % step == 0 && match < s.matching) {
            // Bounced addresses in every slot and letter case.
            const int slot = match % 3;
            QByteArray address = Bounced_Address(match * (s.returned / s.matching));
            emails[slot] = match % 2 ? address.toUpper() : address;
            if (slot > 0 && emails[slot - 1].isEmpty())
                emails[slot - 1] = "keep" + n + "@example.com";
            if (slot > 1 && emails[0].isEmpty())
                emails[0] = "first" + n + "@example.com";
            ++match;
        }
        QByteArray card =
            "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:bench-" + n + "\r\nFN:" + first + " " + last +
            "\r\nN:" + last + ";" + first + ";;;\r\nORG:Company " + QByteArray::number(i % 500) +
            "\r\nTITLE:Account Manager\r\nTEL;TYPE=WORK,VOICE:+1 555 " + n.rightJustified(7, '0') +
            "\r\nTEL;TYPE=CELL:+1 555 9" + n.rightJustified(6, '0') + "\r\nADR;TYPE=WORK:;;" +
            QByteArray::number(i % 900 + 1) + " Main Street;Springfield;IL;62701;USA\r\n";
        for (const QByteArray& e : emails)
            if (!e.isEmpty())
                card +=
                    (i % 50 == 7 ? "EMAIL;ENCODING=QUOTED-PRINTABLE:" : "EMAIL;TYPE=INTERNET:") + e + "\r\n";
        card += "NOTE:Met at the trade fair " + QByteArray::number(2000 + i % 25);
        if (i % 10 == 0) // a long note, folded as vCard writers do
            card +=
                ", talked about the new product line and agreed to meet again\r\n  next year in the spring";
        card += "\r\nEND:VCARD\r\n";
        Write(folder + "/c" + QString::number(i).rightJustified(6, QLatin1Char('0')) + ".vcf", card);
    }
}

// Points the program's settings, data folder and mail profile into `dir`;
// gives the profile's store folder ("Personal Folders").
inline QString Use_Profile_Folder(const QString& dir, QString* storeId = nullptr)
{
    qputenv("XDG_CONFIG_HOME", (dir + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (dir + "/data").toLocal8Bit());
    const QString profileFolder = dir + "/profile";
    qputenv("BRINDLECAST_PROFILE", profileFolder.toLocal8Bit());
    Set_Data_Folder();
    outlook::Set_Profile_User(profileFolder, "Jane Doe", "jane.doe@example.com");
    if (storeId)
        *storeId = outlook::Open_Profile(profileFolder)->Stores.front().Id;
    return profileFolder + "/Personal Folders";
}

inline void Generate_Profile(const QString& root, const Scale& s)
{
    for (const char* sub : {"cur", "new", "tmp"})
        QDir().mkpath(root + "/Bounced/" + sub);
    Generate_Messages(root + "/Inbox", s);
    Generate_Contacts(root + "/Contacts", s);
    ::sync();
}

// The settings and lists of the measured run: mark (or delete) the contacts,
// move the returned messages to "Bounced", unattended.
inline void Set_Up_Run(const QString& storeId, bool deleteContacts)
{
    Save_Setting(Contact_Action, deleteContacts ? 0 : 1);
    Save_Setting(Contact_Field_To_Set, "JobTitle");
    Save_Setting(Contact_Value_To_Set, "Bounced");
    Save_Setting(Email_What_To_Do, 3);
    Save_Setting(Email_Destination_EntryID, outlook::Entry_ID_To_Hex("Bounced"));
    Save_Setting(Email_Destination_StoreID, storeId);
    Lists().Search_Strings = Fallback_Search_Strings();
    Lists().No_Check_Strings = QStringList({"JANE.DOE@EXAMPLE.COM"});
    Folders().Contact_Folder_List = {
        {"Contacts", "Personal Folders", outlook::Entry_ID_To_Hex("Contacts"), storeId}};
    App().Auto_Run = true;
}

// The contacts a run changes, as generated, to put the profile back between
// runs: only the matching contacts have addresses that start with "user".
class Run_Changes
{
public:
    // From the profile as generated, or from a copy kept by Save_To.
    explicit Run_Changes(const QString& root, QString from = {}) : root_(root)
    {
        if (from.isEmpty())
            from = root + "/Contacts";
        for (const QString& name : QDir(from).entryList({"*.vcf"}, QDir::Files)) {
            QFile f(from + "/" + name);
            if (f.open(QIODevice::ReadOnly)) {
                const QByteArray card = f.readAll();
                if (card.toLower().contains(":user"))
                    contacts_[name] = card;
            }
        }
    }
    void Save_To(const QString& folder) const
    {
        QDir().mkpath(folder);
        for (const auto& [name, card] : contacts_)
            Write(folder + "/" + name, card);
    }
    void Put_Back() const
    {
        for (const auto& [name, card] : contacts_)
            Write(root_ + "/Contacts/" + name, card);
        for (const QString& name : QDir(root_ + "/Bounced/cur").entryList(QDir::Files))
            QDir().rename(root_ + "/Bounced/cur/" + name, root_ + "/Inbox/cur/" + name);
        QDir(root_ + "/Deleted Items/Contacts").removeRecursively();
        ::sync();
    }

private:
    QString root_;
    std::map<QString, QByteArray> contacts_;
};

} // namespace bc::bench
