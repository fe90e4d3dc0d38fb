// Other programs still read what the program wrote: after it moved and
// deleted messages, Dovecot reads both store layouts (Maildir++ and nested
// folders) and finds every message in the folder it was moved to, with its
// flags; khard (with which many users keep their vCard folders, installed by
// scripts/setup.sh) reads the contacts after the program cleared an address,
// set fields, added a note and a user property.

#include "outlook/Item_Files.h"
#include "outlook/Outlook_Session.h"
#include "outlook/Profile.h"
#include "support/Khard.h"
#include "test_profile_support.h"
#include "vcard_test_support.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <unistd.h>

using namespace bc::outlook;
using namespace bc::test;

namespace {

// "mailbox: subject [flags]" of every message Dovecot finds in a Maildir tree.
QStringList Dovecot_Listing(const QString& root, const QString& location)
{
    QTemporaryDir scratch;
    const QString copy = scratch.path() + "/mail";
    // Dovecot writes its index files; it works on a copy so the store stays as the program left it.
    QProcess::execute("cp", {"-a", root, copy});
    const bool root_user = ::getuid() == 0;
    if (root_user) // Dovecot refuses to run mail access as root
        QProcess::execute("chmod", {"-R", "a+rwX", scratch.path()});
    const QByteArray uid = root_user ? "65534" : QByteArray::number(::getuid());
    const QByteArray gid = root_user ? "65534" : QByteArray::number(::getgid());
    Write_File(scratch.path() + "/dovecot.conf", "mail_location = " + QString(location).arg(copy).toUtf8() +
                                                     "\nmail_uid = " + uid + "\nmail_gid = " + gid +
                                                     "\nfirst_valid_uid = " + uid +
                                                     "\nfirst_valid_gid = " + gid + "\n");
    QProcess doveadm;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", scratch.path());
    env.insert("USER", "brindlecast-test");
    doveadm.setProcessEnvironment(env);
    doveadm.start("doveadm",
                  {"-c", scratch.path() + "/dovecot.conf", "fetch", "mailbox hdr.subject flags", "all"});
    EXPECT_TRUE(doveadm.waitForFinished(60000));
    EXPECT_EQ(doveadm.exitCode(), 0) << doveadm.readAllStandardError().toStdString();
    QStringList out;
    QString mailbox, subject;
    for (const QString& line : QString::fromUtf8(doveadm.readAllStandardOutput()).split('\n')) {
        if (line.startsWith("mailbox: "))
            mailbox = line.mid(9);
        else if (line.startsWith("hdr.subject: "))
            subject = line.mid(13);
        else if (line.startsWith("flags: "))
            out << mailbox + ": " + subject + (line.contains("\\Seen") ? " [seen]" : "");
    }
    out.sort();
    return out;
}

Khard_Result Khard(const Contact_Folder& f, const QStringList& arguments)
{
    return Run_Khard(f.Home().Path(), f.Folder(), arguments);
}

std::shared_ptr<Mail_Item> Mail(Name_Space& ns, const QByteArray& path, const QString& store = {})
{
    return std::dynamic_pointer_cast<Mail_Item>(ns.GetItemFromID(Hex(path), store));
}

} // namespace

TEST(DovecotReadsTheStores, AfterMovesAndDeletes)
{
    if (QStandardPaths::findExecutable("doveadm").isEmpty())
        GTEST_SKIP() << "doveadm (Debian package dovecot-core, see scripts/setup.sh) is not installed";
    Temp_Home home;
    const QString dovecot = home.Path() + "/Maildir";
    Make_Maildir(dovecot);
    Make_Maildir(dovecot + "/.Archive");
    Write_File(dovecot + "/cur/1700000001.M1P1.host:2,S", Message("Subject: to archive"));
    Write_File(dovecot + "/new/1700000002.M1P1.host", Message("Subject: to delete"));
    Write_File(dovecot + "/cur/1700000003.M1P1.host:2,", Message("Subject: stays"));
    Write_File(dovecot + "/.Archive/cur/1700000001.M1P1.host:2,", Message("Subject: already archived"));
    QString id;
    ASSERT_TRUE(Add_Profile_Store(home.Profile(), "Dovecot", dovecot, &id));
    auto ns = Open_Session();
    const QString local = Personal_Folders(home);
    Make_Maildir(local + "/Bounced");
    Write_File(local + "/Inbox/cur/1700000004.M1P1.host:2,FS", Message("Subject: bounced one"));

    // Same unique name as the one already archived: it must get a name of its own.
    Mail(*ns, "Inbox/1700000001.M1P1.host", id)->Move(*Folder_At(*ns, "Archive", id));
    Mail(*ns, "Inbox/1700000002.M1P1.host", id)->Delete(); // into the local store's Deleted Items
    Mail(*ns, "Inbox/1700000004.M1P1.host")->Move(*Folder_At(*ns, "Bounced"));

    EXPECT_EQ(Dovecot_Listing(dovecot, "maildir:%1:INDEX=MEMORY"),
              QStringList({"Archive: already archived", "Archive: to archive [seen]", "INBOX: stays"}));
    EXPECT_EQ(Dovecot_Listing(local, "maildir:%1:LAYOUT=fs:INBOX=%1/Inbox:INDEX=MEMORY"),
              QStringList({"Bounced: bounced one [seen]", "Deleted Items: to delete"}));
}

TEST(KhardInterop, ReadsContactsTheProgramChanged)
{
    ASSERT_TRUE(Have_Khard()) << "khard is missing: run scripts/setup.sh";
    Contact_Folder f;
    auto jane = f.Make("jane.vcf",
                       Crlf({"BEGIN:VCARD", "VERSION:3.0", "UID:jane-uid-1", "FN:Jane Doe", "N:Doe;Jane;;;",
                             "EMAIL;TYPE=WORK:jane@bounced.example", "EMAIL;TYPE=HOME:jane@home.example",
                             "EMAIL:jane@third.example", "END:VCARD"}));
    auto rick = f.Make("rick.vcf", "BEGIN:VCARD\nVERSION:4.0\nUID:rick-uid-2\nFN:Rick Roe\nN:Roe;Rick;;;\n"
                                   "EMAIL:rick@bounced.example\nEND:VCARD\n");
    ASSERT_TRUE(jane && rick);

    jane->Set_Email_Address(1, "");
    jane->Set_Standard_Field("JobTitle", "Bounce Checker");
    jane->Set_Standard_Field("CompanyName", "Acme; Inc.");
    jane->Set_Body("\r\nReturned Email --------------------------\r\n\r\nDelivery failed: 550, user unknown");
    jane->UserProperties().Add("Bounce Status")->Set_Value("Bounced");
    jane->Save();
    rick->Set_Email_Address(1, "");
    rick->Set_Standard_Field("HomeTelephoneNumber", "+1 555 0100");
    rick->Save();

    const Khard_Result list = Khard(f, {"list"});
    ASSERT_EQ(list.Exit_Code, 0) << list.Err.toStdString();
    EXPECT_TRUE(list.Out.contains("Jane Doe")) << list.Out.toStdString();
    EXPECT_TRUE(list.Out.contains("Rick Roe")) << list.Out.toStdString();
    EXPECT_FALSE(list.Err.contains("rror")) << list.Err.toStdString();

    const Khard_Result show = Khard(f, {"show", "--format", "yaml", "jane-uid-1"});
    ASSERT_EQ(show.Exit_Code, 0) << show.Err.toStdString();
    EXPECT_TRUE(show.Out.contains("Title: Bounce Checker")) << show.Out.toStdString();
    EXPECT_TRUE(show.Out.contains("Acme; Inc.")) << show.Out.toStdString();
    EXPECT_TRUE(show.Out.contains("Returned Email --------------------------")) << show.Out.toStdString();
    EXPECT_TRUE(show.Out.contains("Delivery failed: 550, user unknown")) << show.Out.toStdString();
    EXPECT_TRUE(show.Out.contains("jane@home.example"));
    EXPECT_TRUE(show.Out.contains("jane@third.example"));
    EXPECT_FALSE(show.Out.contains("jane@bounced.example"));

    const Khard_Result rickShow = Khard(f, {"show", "--format", "yaml", "rick-uid-2"});
    ASSERT_EQ(rickShow.Exit_Code, 0) << rickShow.Err.toStdString();
    EXPECT_TRUE(rickShow.Out.contains("+1 555 0100")) << rickShow.Out.toStdString();
    EXPECT_FALSE(rickShow.Out.contains("rick@bounced.example"));
}
