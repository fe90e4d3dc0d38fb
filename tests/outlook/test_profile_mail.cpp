// Mail items of a Maildir folder: listing, subjects, bodies, recipients,
// delivery times, lookups by EntryID, moves and deletes.

#include "outlook/Outlook_Session.h"
#include "outlook/Profile.h"
#include "test_profile_support.h"

#include <sys/stat.h>
#include <utime.h>

using namespace bc::outlook;
using namespace bc::test;

namespace {

class Mail : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ns = Open_Session();
        ASSERT_TRUE(ns);
        inbox = Personal_Folders(home) + "/Inbox";
    }

    // Writes a message into the Inbox and gives it back as an item.
    std::shared_ptr<Mail_Item> Put(const QByteArray& content,
                                   const QString& name = "1700000000.M1P1.host:2,S")
    {
        Write_File(inbox + "/cur/" + name, content);
        const QString unique = name.section(':', 0, 0);
        return std::dynamic_pointer_cast<Mail_Item>(ns->GetItemFromID(Hex("Inbox/" + unique.toUtf8()), {}));
    }

    QStringList Subjects(const QByteArray& folder)
    {
        QStringList out;
        auto items = Folder_At(*ns, folder)->Items();
        for (int i = 1; i <= items->Count(); ++i)
            if (auto m = std::dynamic_pointer_cast<Mail_Item>(items->Item(i)))
                out << m->Subject();
        return out;
    }

    Temp_Home home;
    std::shared_ptr<Name_Space> ns;
    QString inbox;
};

} // namespace

TEST_F(Mail, ItemsAreListedInFileNameOrder)
{
    Write_File(inbox + "/cur/1700000003.M1P1.host:2,S", Message("Subject: third"));
    Write_File(inbox + "/new/1700000001.M1P1.host", Message("Subject: first"));
    Write_File(inbox + "/cur/1700000002.M1P1.host:2,", Message("Subject: second"));
    Write_File(inbox + "/tmp/1700000000.M1P1.host", Message("Subject: still being delivered"));
    Write_File(inbox + "/cur/.hidden", Message("Subject: not a message"));
    EXPECT_EQ(Subjects("Inbox"), QStringList({"first", "second", "third"}));

    auto items = Folder_At(*ns, "Inbox")->Items();
    EXPECT_EQ(items->Count(), 3);
    EXPECT_EQ(items->Item(0), nullptr);
    EXPECT_EQ(items->Item(4), nullptr);
    EXPECT_EQ(items->Item(1)->MessageClass(), "IPM.Note");
    EXPECT_EQ(items->Item(1)->EntryID(), Hex("Inbox/1700000001.M1P1.host"));
}

TEST_F(Mail, AListingSkipsFilesThatVanishAndFollowsFlagChanges)
{
    Write_File(inbox + "/cur/1.a:2,", Message("Subject: renamed by a mail reader"));
    Write_File(inbox + "/cur/2.b:2,", Message("Subject: deleted by a sync tool"));
    auto items = Folder_At(*ns, "Inbox")->Items();
    ASSERT_EQ(items->Count(), 2);
    ASSERT_TRUE(QFile::rename(inbox + "/cur/1.a:2,", inbox + "/cur/1.a:2,RS"));
    ASSERT_TRUE(QFile::remove(inbox + "/cur/2.b:2,"));
    auto first = std::dynamic_pointer_cast<Mail_Item>(items->Item(1));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Subject(), "renamed by a mail reader");
    EXPECT_EQ(items->Item(2), nullptr);
}

TEST_F(Mail, SubjectsAreDecoded)
{
    EXPECT_EQ(Put(Message("Subject: =?UTF-8?B?VW5kZWxpdmVyYWJsZTogR3LDvMOfZQ==?="))->Subject(),
              "Undeliverable: Grüße");
    EXPECT_EQ(Put(Message("Subject: =?iso-8859-1?q?Mail_delivery_failed:_r=E9ponse?="))->Subject(),
              "Mail delivery failed: réponse");
    EXPECT_EQ(Put(Message("Subject: Returned mail:\r\n see transcript for details"))->Subject(),
              "Returned mail: see transcript for details");
    EXPECT_EQ(Put(Message("Subject: =?utf-8?q?failure?=\r\n =?utf-8?q?_notice?="))->Subject(),
              "failure notice");
    EXPECT_EQ(Put(Message("Subject: Caf\xe9 raw 8-bit"))->Subject(), "Café raw 8-bit");
    EXPECT_EQ(Put(Message("X-Other: 1"))->Subject(), "");
}

TEST_F(Mail, ClassComesFromXMessageClass)
{
    EXPECT_EQ(Put(Message("Subject: a"))->MessageClass(), "IPM.Note");
    EXPECT_EQ(Put(Message("X-Message-Class: REPORT.IPM.Note.NDR\r\nSubject: b"))->MessageClass(),
              "REPORT.IPM.Note.NDR");
}

TEST_F(Mail, DeliveryTimeFromTheFileNameElseTheFileTime)
{
    auto named = Put(Message("Subject: a"), "1700000000.M5P9.host:2,S");
    EXPECT_EQ(named->Delivery_Time().toSecsSinceEpoch(), 1700000000);
    auto unnamed = Put(Message("Subject: b"), "message-without-time:2,");
    const QByteArray path = (inbox + "/cur/message-without-time:2,").toUtf8();
    utimbuf times{1600000000, 1600000000};
    ASSERT_EQ(::utime(path.constData(), &times), 0);
    EXPECT_EQ(unnamed->Delivery_Time().toSecsSinceEpoch(), 1600000000);
}

TEST_F(Mail, DisplayToNamesTheToRecipients)
{
    auto m = Put("From: a@example.org\r\nTo: \"Doe, Jane\" <jane@example.com>, bob@example.net,\r\n"
                 " =?UTF-8?Q?J=C3=BCrgen?= <j@example.de>, Team: x@example.com, Yan <y@example.com>;\r\n"
                 "Cc: Not Shown <c@example.com>\r\nSubject: s\r\n\r\nbody\r\n");
    EXPECT_EQ(m->Display_To(), "Doe, Jane; bob@example.net; Jürgen; x@example.com; Yan");
}

TEST_F(Mail, BodyOfAReportIsItsTextPartOnly)
{
    auto m = Put(
        "From: MAILER-DAEMON@example.org\r\nTo: jane@example.com\r\n"
        "Subject: Undelivered Mail Returned to Sender\r\nMIME-Version: 1.0\r\n"
        "Content-Type: multipart/report; report-type=delivery-status; boundary=\"B\"\r\n\r\n"
        "This is a MIME report.\r\n--B\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\n"
        "<gone@example.net>: host mx.example.net said: 550 no such user\r\n"
        "--B\r\nContent-Type: message/delivery-status\r\n\r\n"
        "Reporting-MTA: dns; mx.example.org\r\n\r\nFinal-Recipient: rfc822; status-only@example.net\r\n"
        "Action: failed\r\n--B\r\nContent-Type: message/rfc822\r\n\r\n"
        "From: jane@example.com\r\nTo: original@example.net\r\nSubject: hi\r\n\r\nquoted body\r\n--B--\r\n");
    EXPECT_EQ(m->Body().trimmed(), "<gone@example.net>: host mx.example.net said: 550 no such user");
}

TEST_F(Mail, BodyPrefersPlainTextAndConvertsHtmlOnlyMail)
{
    auto both = Put("To: a@example.com\r\nSubject: s\r\nMIME-Version: 1.0\r\n"
                    "Content-Type: multipart/alternative; boundary=A\r\n\r\n"
                    "--A\r\nContent-Type: text/html\r\n\r\n<p>html part</p>\r\n"
                    "--A\r\nContent-Type: text/plain\r\n\r\nplain part\r\n--A--\r\n");
    EXPECT_EQ(both->Body().trimmed(), "plain part");

    auto html = Put("To: a@example.com\r\nSubject: s\r\nMIME-Version: 1.0\r\n"
                    "Content-Type: text/html; charset=utf-8\r\n\r\n"
                    "<html><head><title>t</title><style>p {color: red}</style></head><body>"
                    "<p>Delivery has failed to:</p><p><a href=\"mailto:x@example.net\">x@example.net</a>"
                    "<br>R&eacute;sum&#233; &amp; more&nbsp;text</p><script>var a = 1;</script>"
                    "<!-- comment --></body></html>\r\n");
    EXPECT_EQ(html->Body(), "Delivery has failed to:\n\nx@example.net\nR&eacute;sumé & more text");
}

TEST_F(Mail, BodyIsDecodedFromItsCharset)
{
    auto qp = Put(
        "To: a@example.com\r\nSubject: s\r\nMIME-Version: 1.0\r\n"
        "Content-Type: text/plain; charset=iso-8859-1\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
        "Gr=FC=DFe =80\r\n");
    EXPECT_EQ(qp->Body().trimmed(), "Grüße €");
    auto koi8 = Put("To: a@example.com\r\nSubject: s\r\nMIME-Version: 1.0\r\n"
                    "Content-Type: text/plain; charset=koi8-r\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
                    QByteArray("\xf0\xd2\xc9\xd7\xc5\xd4").toBase64() + "\r\n");
    EXPECT_EQ(koi8->Body().trimmed(), "Привет");
    auto undeclared = Put(Message("Subject: s", "Gr\xfc\xdf"
                                                "e\r\n"));
    EXPECT_EQ(undeclared->Body().trimmed(), "Grüße");
    auto utf8 = Put(Message("Subject: s\r\nContent-Type: text/plain; charset=UTF-8", "Grüße\r\n"));
    EXPECT_EQ(utf8->Body().trimmed(), "Grüße");
    auto unknown = Put(Message("Subject: s\r\nContent-Type: text/plain; charset=x-unknown", "plain\r\n"));
    EXPECT_EQ(unknown->Body().trimmed(), "plain");
    // Exchange's delivery reports name UTF-7 by its old alias.
    auto utf7 = Put(Message("Subject: s\r\nContent-Type: text/plain; charset=unicode-1-1-utf-7",
                            "Zustellung an ren+AOk-@example.com fehlgeschlagen\r\n"));
    EXPECT_EQ(utf7->Body().trimmed(), "Zustellung an rené@example.com fehlgeschlagen");
}

TEST_F(Mail, AttachmentsAreNotPartOfTheBody)
{
    auto m = Put("To: a@example.com\r\nSubject: s\r\nMIME-Version: 1.0\r\n"
                 "Content-Type: multipart/mixed; boundary=M\r\n\r\n"
                 "--M\r\nContent-Type: text/plain\r\n\r\nthe text\r\n"
                 "--M\r\nContent-Type: text/plain; name=list.txt\r\nContent-Disposition: attachment\r\n\r\n"
                 "attached@example.com\r\n--M--\r\n");
    EXPECT_EQ(m->Body().trimmed(), "the text");
}

TEST_F(Mail, MoveRenamesIntoTheTargetAndChangesTheEntryId)
{
    Make_Maildir(Personal_Folders(home) + "/Bounced");
    Write_File(inbox + "/new/1700000000.M1P1.host", Message("Subject: moving"));
    auto item = ns->GetItemFromID(Hex("Inbox/1700000000.M1P1.host"), {});
    auto mail = std::dynamic_pointer_cast<Mail_Item>(item);
    ASSERT_TRUE(mail);
    const QString oldId = mail->EntryID();
    auto bounced = Folder_At(*ns, "Bounced");
    mail->Move(*bounced);

    EXPECT_EQ(Files_In(inbox + "/new"), QStringList());
    EXPECT_EQ(Files_In(Personal_Folders(home) + "/Bounced/cur"), QStringList{"1700000000.M1P1.host:2,"});
    EXPECT_EQ(ns->GetItemFromID(oldId, {}), nullptr);
    EXPECT_EQ(mail->EntryID(), Hex("Bounced/1700000000.M1P1.host"));
    auto again = std::dynamic_pointer_cast<Mail_Item>(ns->GetItemFromID(mail->EntryID(), {}));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Subject(), "moving");
    EXPECT_EQ(again->Delivery_Time().toSecsSinceEpoch(), 1700000000);

    // A moved message keeps its flags.
    Write_File(inbox + "/cur/1.x:2,FS", Message("Subject: flagged"));
    std::dynamic_pointer_cast<Mail_Item>(ns->GetItemFromID(Hex("Inbox/1.x"), {}))->Move(*bounced);
    EXPECT_TRUE(QFileInfo::exists(Personal_Folders(home) + "/Bounced/cur/1.x:2,FS"));
}

TEST_F(Mail, MoveNeverOverwritesAMessageOfTheSameName)
{
    const QString bounced = Personal_Folders(home) + "/Bounced";
    Make_Maildir(bounced);
    Write_File(bounced + "/cur/1.same:2,S", Message("Subject: already there"));
    auto m = Put(Message("Subject: arriving"), "1.same:2,");
    m->Move(*Folder_At(*ns, "Bounced"));
    EXPECT_EQ(Files_In(bounced + "/cur").size(), 2);
    EXPECT_EQ(Read_File(bounced + "/cur/1.same:2,S"), Message("Subject: already there"));
    EXPECT_NE(m->EntryID(), Hex("Bounced/1.same"));
    EXPECT_EQ(Subjects("Bounced").size(), 2);
    EXPECT_TRUE(Subjects("Bounced").contains("arriving"));
}

TEST_F(Mail, MoveToAFolderThatHoldsNoMailOrOfAMessageThatIsGoneFails)
{
    auto m = Put(Message("Subject: stays"));
    EXPECT_THROW(m->Move(*Folder_At(*ns, "Contacts")), Outlook_Error);
    EXPECT_THROW(m->Move(*ns->Stores()[0]), Outlook_Error);
    EXPECT_EQ(Subjects("Inbox"), QStringList{"stays"});

    ASSERT_TRUE(QFile::remove(inbox + "/cur/1700000000.M1P1.host:2,S"));
    EXPECT_THROW(m->Move(*ns->GetDefaultFolder(olFolderDeletedItems)), Outlook_Error);
    EXPECT_EQ(m->Subject(), "");
}

TEST_F(Mail, DeleteMovesToTheDeletedItemsFolder)
{
    auto m = Put(Message("Subject: to delete"));
    m->Delete();
    EXPECT_EQ(Files_In(inbox + "/cur"), QStringList());
    EXPECT_EQ(Subjects("Deleted Items"), QStringList{"to delete"});
    // Deleting it again keeps it there: nothing is ever removed from disk.
    m->Delete();
    EXPECT_EQ(Subjects("Deleted Items"), QStringList{"to delete"});
}

TEST_F(Mail, DeleteFromAnotherStoreGoesToTheProfilesDeletedItems)
{
    Make_Maildir(home.Path() + "/Other/Inbox");
    Write_File(home.Path() + "/Other/Inbox/cur/1.o:2,", Message("Subject: elsewhere"));
    QString id;
    ASSERT_TRUE(Add_Profile_Store(home.Profile(), "Other", home.Path() + "/Other", &id));
    ns = Open_Session();
    auto m = std::dynamic_pointer_cast<Mail_Item>(ns->GetItemFromID(Hex("Inbox/1.o"), id));
    ASSERT_TRUE(m);
    m->Delete();
    EXPECT_EQ(Subjects("Deleted Items"), QStringList{"elsewhere"});
}
