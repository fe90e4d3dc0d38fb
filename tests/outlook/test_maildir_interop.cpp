// After the program moved and deleted messages, Dovecot still reads both
// store layouts (Maildir++ and nested folders) and finds every message in
// the folder it was moved to, with its flags.

#include "outlook/Outlook_Session.h"
#include "outlook/Profile.h"
#include "test_profile_support.h"

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
