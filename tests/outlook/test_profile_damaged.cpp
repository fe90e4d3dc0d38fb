// Damaged input never crashes the profile and never costs a file: binary and
// truncated messages, enormous headers and lines, names that are not UTF-8.

#include "outlook/Item_File_IO.h"
#include "outlook/Item_Files.h"
#include "outlook/Mail_Message_Text.h"
#include "outlook/Mapi_Components.h"
#include "outlook/Outlook_Session.h"
#include "outlook/Profile.h"
#include "test_profile_support.h"

#include <QRandomGenerator>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace bc::outlook;
using namespace bc::test;

namespace {

const std::vector<quint32> kColumns = {PR_SUBJECT, PR_MESSAGE_DELIVERY_TIME, PR_ENTRYID, PR_MESSAGE_CLASS};

QByteArray Random_Bytes(int size, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray out(size, Qt::Uninitialized);
    for (char& c : out)
        c = char(gen.bounded(256));
    return out;
}

// Raw names of a directory's files, as bytes.
QList<QByteArray> Raw_Names(const QByteArray& dir)
{
    QList<QByteArray> out;
    if (DIR* d = ::opendir(dir.constData())) {
        while (const dirent* e = ::readdir(d))
            if (e->d_name[0] != '.')
                out << QByteArray(e->d_name);
        ::closedir(d);
    }
    std::sort(out.begin(), out.end());
    return out;
}

void Write_Raw(const QByteArray& path, const QByteArray& content)
{
    FILE* f = std::fopen(path.constData(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(content.constData(), 1, size_t(content.size()), f);
    std::fclose(f);
}

QByteArray Read_Raw(const QByteArray& path)
{
    QByteArray out;
    if (FILE* f = std::fopen(path.constData(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            out.append(buf, qsizetype(n));
        std::fclose(f);
    }
    return out;
}

} // namespace

TEST(Damaged, BrokenMessagesAreReadWithoutHarm)
{
    Temp_Home home;
    auto ns = Open_Session();
    const QString cur = Personal_Folders(home) + "/Inbox/cur/";
    std::map<QString, QByteArray> files = {
        {"1.empty:2,", QByteArray()},
        {"2.binary:2,", Random_Bytes(200000, 7)},
        {"3.nul:2,", QByteArray("Subject: with\0nul\r\nTo: a\0b@example.com\r\n\r\nbo\0dy\r\n", 50)},
        {"4.truncated:2,",
         "Subject: cut\r\nMIME-Version: 1.0\r\nContent-Type: multipart/report; boundary=Q\r\n\r\n"
         "--Q\r\nContent-Type: text/plain\r\nContent-Transfer-Encoding: base64\r\n\r\nSGVsbG8gd29y"},
        {"5.noheaders:2,", "just a line of text without any header\r\n"},
        {"6.longline:2,", "Subject: " + QByteArray(3 * 1024 * 1024, 'y')},
        {"7.badmime:2,", "Subject: nested\r\nContent-Type: multipart/mixed\r\n\r\n--\r\n--\r\n"},
        {"8.badencoding:2,",
         "Subject: =?x-none?B?!!!?= =?utf-8?Q?=ZZ?=\r\nContent-Type: text/html; charset=\"\"\r\n"
         "Content-Transfer-Encoding: base64\r\n\r\n<<<>>>&&&;;\r\n"},
    };
    for (const auto& [name, content] : files)
        Write_File(cur + name, content);

    QuorinMAPITable table;
    table.Set_Item(Folder_At(*ns, "Inbox")->Items());
    table.Set_Columns(kColumns);
    const auto rows = table.GetRows(table.RowCount());
    EXPECT_EQ(rows.size(), files.size());
    EXPECT_EQ(*rows[3].Subject, "cut");

    auto items = Folder_At(*ns, "Inbox")->Items();
    ASSERT_EQ(items->Count(), int(files.size()));
    for (int i = 1; i <= items->Count(); ++i) {
        auto mail = std::dynamic_pointer_cast<Mail_Item>(items->Item(i));
        ASSERT_TRUE(mail) << i;
        mail->Subject();
        mail->Body();
        mail->Display_To();
        EXPECT_FALSE(mail->MessageClass().isEmpty());
    }
    auto truncated = std::dynamic_pointer_cast<Mail_Item>(items->Item(4));
    EXPECT_EQ(truncated->Subject(), "cut");
    EXPECT_TRUE(truncated->Body().startsWith("Hello wor")) << truncated->Body();
    EXPECT_EQ(std::dynamic_pointer_cast<Mail_Item>(items->Item(6))->Subject().size(), 3 * 1024 * 1024);

    // Nothing was changed or lost.
    for (const auto& [name, content] : files)
        EXPECT_EQ(Read_File(cur + name), content) << name;
}

TEST(Damaged, NamesThatAreNotUtf8StillWork)
{
    Temp_Home home;
    auto ns = Open_Session();
    const QByteArray inbox = (Personal_Folders(home) + "/Inbox").toUtf8();
    const QByteArray name = "1700000000.caf\xe9\xff:2,S";
    Write_Raw(inbox + "/cur/" + name, Message("Subject: odd name"));

    auto items = Folder_At(*ns, "Inbox")->Items();
    ASSERT_EQ(items->Count(), 1);
    auto mail = std::dynamic_pointer_cast<Mail_Item>(items->Item(1));
    ASSERT_TRUE(mail);
    EXPECT_EQ(mail->Subject(), "odd name");
    EXPECT_EQ(mail->EntryID(), Hex("Inbox/1700000000.caf\xe9\xff"));

    QuorinMAPITable table;
    table.Set_Item(items);
    const auto rows = table.GetRows(1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Entry_ID_To_Hex(rows[0].Entry_ID), mail->EntryID());

    auto found = std::dynamic_pointer_cast<Mail_Item>(ns->GetItemFromID(mail->EntryID(), {}));
    ASSERT_TRUE(found);
    found->Delete();
    const QByteArray deleted = (Personal_Folders(home) + "/Deleted Items/cur").toUtf8();
    EXPECT_EQ(Raw_Names(deleted), QList<QByteArray>{name});
    EXPECT_EQ(Read_Raw(deleted + "/" + name), Message("Subject: odd name"));
    ::unlink((deleted + "/" + name).constData()); // QDir cannot remove a name it cannot decode
}

TEST(Damaged, AMissingOrUnreadableFolderListsAsEmpty)
{
    Temp_Home home;
    auto ns = Open_Session();
    auto inbox = Folder_At(*ns, "Inbox");
    ASSERT_TRUE(inbox);
    QDir(Personal_Folders(home) + "/Inbox").removeRecursively();
    EXPECT_EQ(inbox->Items()->Count(), 0);
    EXPECT_TRUE(inbox->Folders().empty());
    EXPECT_EQ(Folder_At(*ns, "Inbox"), nullptr);
    QuorinMAPITable table;
    table.Set_Item(inbox->Items());
    EXPECT_TRUE(table.GetRows(10).empty());
}

TEST(Damaged, ADamagedProfileFileStillOpens)
{
    Temp_Home home;
    Write_File(home.Profile() + "/profile.ini",
               Random_Bytes(3000, 3) +
                   "\n[Store 1]\nName\nPath=\n=x\n[Store x]\n[Store 99999999999]\nPath=A\n");
    auto ns = Open_Session();
    ASSERT_TRUE(ns);
    // Without a usable store the profile gets its default store.
    ASSERT_GE(ns->Stores().size(), 1u);
    EXPECT_TRUE(ns->GetDefaultFolder(olFolderInbox));
}

// A named pipe or a device where a file should be never blocks or swamps a
// reader: it reads as no file at all.
TEST(Damaged, PipesAndDevicesInPlaceOfFilesAreNotRead)
{
    ::alarm(60); // a blocking read ends the test program instead of hanging it
    Temp_Home home;
    auto ns = Open_Session();
    const QByteArray fifo = QFile::encodeName(home.Path() + "/pipe");
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const QByteArray zero = QFile::encodeName(home.Path() + "/zero");
    ASSERT_EQ(::symlink("/dev/zero", zero.constData()), 0);
    for (const QByteArray& path : {fifo, zero}) {
        EXPECT_FALSE(mail_text::Read_Header_Summary(path).Read) << path.toStdString();
        QByteArray bytes;
        EXPECT_FALSE(Read_Contact_Bytes(path, bytes)) << path.toStdString();
        EXPECT_EQ(Load_Task_File(QFile::decodeName(path), {}), nullptr);
    }
    // An empty folder whose class file is a pipe: its kind is not known, and
    // listing the store goes on.
    const QString folder = Personal_Folders(home) + "/Piped";
    QDir().mkpath(folder);
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "/.brindlecast-folder").constData(), 0600), 0);
    auto piped = Folder_At(*ns, "Piped");
    ASSERT_TRUE(piped);
    EXPECT_EQ(piped->DefaultMessageClass(), "IPM.Note"); // an empty folder without a class file
    EXPECT_NE(Folder_At(*ns, "Inbox"), nullptr);

    // A profile.ini that is a pipe: the profile is refused with the reason.
    QFile::remove(home.Profile() + "/profile.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(home.Profile() + "/profile.ini").constData(), 0600), 0);
    QString error;
    EXPECT_FALSE(Open_Profile(home.Profile(), &error));
    EXPECT_TRUE(error.contains("named pipe")) << error;
    ::alarm(0);
}

// What a killed save leaves is a dot file that no vCard or iCalendar program
// lists; the next listing removes those of processes that are gone.
TEST(Damaged, TemporaryFilesOfAKilledSaveGoWithTheNextListing)
{
    Temp_Home home;
    auto ns = Open_Session();
    const QString contacts = Personal_Folders(home) + "/Contacts";
    Write_File(contacts + "/a.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:A\r\nEND:VCARD\r\n");
    const QByteArray ours = New_Temporary_File_Name();
    EXPECT_TRUE(ours.startsWith('.') && !ours.endsWith(".vcf") && !ours.endsWith(".ics"));
    // A process that has ended, one still running (this one), and another
    // program's dot file.
    const QString gone = contacts + "/.brindlecast-tmp-2147483646-1f";
    const QString running = contacts + "/" + QString::fromLatin1(ours);
    const QString foreign = contacts + "/.sync-state";
    for (const QString& path : {gone, running, foreign})
        Write_File(path, "BEGIN:VCARD\r\n");
    auto folder = Folder_At(*ns, "Contacts");
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->Items()->Count(), 1);
    EXPECT_FALSE(QFile::exists(gone));
    EXPECT_TRUE(QFile::exists(running));
    EXPECT_TRUE(QFile::exists(foreign));
}
