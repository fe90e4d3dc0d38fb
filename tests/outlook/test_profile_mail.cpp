// Mail items of a Maildir folder: listing, subjects, bodies, recipients,
// delivery times, lookups by EntryID, moves and deletes; and the message
// table: subject, delivery time, EntryID and class of every message of a
// folder, from the header section of each file.

#include "outlook/Mapi_Components.h"
#include "outlook/Outlook_Session.h"
#include "outlook/Profile.h"
#include "test_profile_support.h"

#include <sys/stat.h>
#include <utime.h>

using namespace bc::outlook;
using namespace bc::test;

namespace {

const std::vector<quint32> kColumns = {PR_SUBJECT, PR_MESSAGE_DELIVERY_TIME, PR_ENTRYID, PR_MESSAGE_CLASS};

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

class Table : public Mail
{
protected:
    std::vector<Message_Row> Rows(const QByteArray& folder = "Inbox")
    {
        QuorinMAPITable table;
        table.Set_Item(Folder_At(*ns, folder)->Items());
        table.Set_Columns(kColumns);
        table.GoToFirst();
        return table.GetRows(table.RowCount());
    }
};

} // namespace

TEST_F(Mail, ItemsAreListedInFileNameOrder)
{
    Write_File(inbox + "/cur/1700000003.M1P1.host:2,S", Message("Subject: third"));
    Write_File(inbox + "/new/1700000001.M1P1.host", Message("Subject: first"));
    Write_File(inbox + "/cur/1700000002.M1P1.host:2,", Message("Subject: second"));
    Write_File(inbox + "/tmp/1700000000.M1P1.host", Message("Subject: still being delivered"));
    Write_File(inbox + "/cur/.hidden", Message("Subject: not a message"));
    // Names alike in their first sixteen bytes, and a byte beyond ASCII, which
    // sorts after every digit and dot but leaves the bytes before it alone.
    Write_File(inbox + "/cur/1700000003.M1P1.hostA:2,", Message("Subject: fourth"));
    Write_File(inbox + "/cur/1700000003.M1P1.hos:2,", Message("Subject: between"));
    Write_File(inbox + "/new/1700000001\u00e9.x", Message("Subject: accented"));
    EXPECT_EQ(Subjects("Inbox"), QStringList({"first", "accented", "second", "between", "third", "fourth"}));

    auto items = Folder_At(*ns, "Inbox")->Items();
    EXPECT_EQ(items->Count(), 6);
    EXPECT_EQ(items->Item(0), nullptr);
    EXPECT_EQ(items->Item(7), nullptr);
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

TEST_F(Mail, DeleteMovesToTheProfilesDeletedItemsFolderFromEveryStore)
{
    auto m = Put(Message("Subject: to delete"));
    m->Delete();
    EXPECT_EQ(Files_In(inbox + "/cur"), QStringList());
    EXPECT_EQ(Subjects("Deleted Items"), QStringList{"to delete"});
    // Deleting it again keeps it there: nothing is ever removed from disk.
    m->Delete();
    EXPECT_EQ(Subjects("Deleted Items"), QStringList{"to delete"});

    // From another store it goes to the profile's deleted items too.
    Make_Maildir(home.Path() + "/Other/Inbox");
    Write_File(home.Path() + "/Other/Inbox/cur/1.o:2,", Message("Subject: elsewhere"));
    QString id;
    ASSERT_TRUE(Add_Profile_Store(home.Profile(), "Other", home.Path() + "/Other", &id));
    ns = Open_Session();
    auto other = std::dynamic_pointer_cast<Mail_Item>(ns->GetItemFromID(Hex("Inbox/1.o"), id));
    ASSERT_TRUE(other);
    other->Delete();
    EXPECT_EQ(Subjects("Deleted Items"), QStringList({"elsewhere", "to delete"}));
}

TEST_F(Table, RowsCarrySubjectTimeIdAndClass)
{
    Write_File(
        inbox + "/cur/1700000001.M1P1.host:2,S",
        Message(
            "Subject: =?UTF-8?Q?Unzustellbar:_Gr=C3=BC=C3=9Fe?=\r\nX-Message-Class: REPORT.IPM.Note.NDR"));
    Write_File(inbox + "/new/1700000002.M1P1.host", Message("X-Mailer: none"));
    Write_File(inbox + "/cur/1700000003.M1P1.host:2,", Message("Subject:"));
    Write_File(inbox + "/cur/no-time-in-name:2,", Message("Subject: Returned mail:\r\n\tsee transcript"));
    utimbuf times{1500000000, 1500000000};
    ASSERT_EQ(::utime((inbox + "/cur/no-time-in-name:2,").toUtf8().constData(), &times), 0);

    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].Subject, std::optional<QString>("Unzustellbar: Grüße"));
    EXPECT_EQ(rows[0].Message_Class, std::optional<QString>("REPORT.IPM.Note.NDR"));
    EXPECT_EQ(rows[0].Delivery_Time->toSecsSinceEpoch(), 1700000001);
    EXPECT_EQ(rows[1].Subject, std::nullopt); // no Subject header at all
    EXPECT_EQ(rows[1].Message_Class, std::optional<QString>("IPM.Note"));
    EXPECT_EQ(rows[2].Subject, std::optional<QString>(""));
    EXPECT_EQ(rows[3].Subject, std::optional<QString>("Returned mail:\tsee transcript"));
    EXPECT_EQ(rows[3].Delivery_Time->toSecsSinceEpoch(), 1500000000);

    // Each row's EntryID bytes lead back to the same message.
    auto items = Folder_At(*ns, "Inbox")->Items();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(Entry_ID_To_Hex(rows[i].Entry_ID), items->Item(int(i + 1))->EntryID());
        auto mail =
            std::dynamic_pointer_cast<Mail_Item>(ns->GetItemFromID(Entry_ID_To_Hex(rows[i].Entry_ID), {}));
        ASSERT_TRUE(mail);
        EXPECT_EQ(mail->Subject(), rows[i].Subject.value_or(QString()));
        EXPECT_EQ(mail->MessageClass(), *rows[i].Message_Class);
    }
}

TEST_F(Table, RowsMatchTheItemsOfALargeFolderInOrder)
{
    for (int i = 0; i < 1500; ++i)
        Write_File(inbox + QString("/cur/%1.M%2P1.host:2,S").arg(1700000000 + i).arg(i),
                   Message("Subject: message " + QByteArray::number(i)));
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 1500u);
    for (int i = 0; i < 1500; ++i)
        ASSERT_EQ(rows[std::size_t(i)].Subject, std::optional<QString>(QString("message %1").arg(i)));
}

TEST_F(Table, RowsCanBeReadInPages)
{
    for (int i = 1; i <= 5; ++i)
        Write_File(inbox + QString("/cur/170000000%1.x:2,").arg(i),
                   Message("Subject: " + QByteArray::number(i)));
    QuorinMAPITable table;
    table.Set_Item(Folder_At(*ns, "Inbox")->Items());
    table.Set_Columns(kColumns);
    EXPECT_EQ(table.RowCount(), 5);
    EXPECT_EQ(table.GetRows(2).size(), 2u);
    const auto rest = table.GetRows(10);
    ASSERT_EQ(rest.size(), 3u);
    EXPECT_EQ(*rest[0].Subject, "3");
    EXPECT_TRUE(table.GetRows(1).empty());
    table.GoToFirst();
    EXPECT_EQ(*table.GetRows(1)[0].Subject, "1");
}

TEST_F(Table, OnlyTheFourColumnsAreSupported)
{
    QuorinMAPITable table;
    EXPECT_THROW(table.GetRows(1), Outlook_Error); // no folder yet
    EXPECT_EQ(table.RowCount(), 0);
    EXPECT_THROW(table.Set_Columns({PR_SUBJECT, PR_DISPLAY_TO, PR_ENTRYID, PR_MESSAGE_CLASS}), Outlook_Error);
    EXPECT_THROW(table.Set_Columns({PR_SUBJECT}), Outlook_Error);
    EXPECT_THROW(table.Set_Columns({PR_ENTRYID, PR_SUBJECT, PR_MESSAGE_DELIVERY_TIME, PR_MESSAGE_CLASS}),
                 Outlook_Error);
    EXPECT_NO_THROW(table.Set_Columns(kColumns));
}

TEST_F(Table, FilesThatVanishOrAreRenamedMeanwhile)
{
    Write_File(inbox + "/cur/1.gone:2,", Message("Subject: gone"));
    Write_File(inbox + "/cur/2.seen:2,", Message("Subject: seen"));
    Write_File(inbox + "/new/3.new", Message("Subject: read meanwhile"));
    QuorinMAPITable table;
    table.Set_Item(Folder_At(*ns, "Inbox")->Items());
    ASSERT_EQ(table.RowCount(), 3);
    ASSERT_TRUE(QFile::remove(inbox + "/cur/1.gone:2,"));
    ASSERT_TRUE(QFile::rename(inbox + "/new/3.new", inbox + "/cur/3.new:2,S"));
    const auto rows = table.GetRows(3);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(*rows[0].Subject, "seen");
    EXPECT_EQ(*rows[1].Subject, "read meanwhile");
    EXPECT_EQ(Entry_ID_To_Hex(rows[1].Entry_ID), Hex("Inbox/3.new"));
}

TEST_F(Table, OnlyTheHeaderSectionIsRead)
{
    // The first empty line ends the headers; a "Subject:" in the body is not one.
    Write_File(inbox + "/cur/1.a:2,", "From: a@example.com\r\n\r\nSubject: in the body\r\n");
    // Leading blank lines and an mbox "From " line are skipped, as some tools write them.
    Write_File(inbox + "/cur/2.b:2,",
               "\r\n\nFrom MAILER-DAEMON Mon Jan  1 00:00:00 2024\nSubject: after junk\n\nx\n");
    // Bare LF line ends and a header section without any body.
    Write_File(inbox + "/cur/3.c:2,", "Subject: lf only\nX-Message-Class: IPM.Note.Custom");
    // Enormous headers: only a bounded part is read, so a later Subject is not seen.
    QByteArray huge = "Subject: early\r\n";
    const QByteArray big = "X-Filler: " + QByteArray(1000, 'x') + "\r\n";
    for (int i = 0; i < 2000; ++i)
        huge += big;
    Write_File(inbox + "/cur/4.d:2,", huge + "\r\nbody\r\n");
    QByteArray late;
    for (int i = 0; i < 2000; ++i)
        late += big;
    Write_File(inbox + "/cur/5.e:2,", late + "Subject: too late\r\n\r\nbody\r\n");

    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].Subject, std::nullopt);
    EXPECT_EQ(rows[1].Subject, std::optional<QString>("after junk"));
    EXPECT_EQ(rows[2].Subject, std::optional<QString>("lf only"));
    EXPECT_EQ(rows[2].Message_Class, std::optional<QString>("IPM.Note.Custom"));
    EXPECT_EQ(rows[3].Subject, std::optional<QString>("early"));
    EXPECT_EQ(rows[4].Subject, std::nullopt);
}

namespace {

// A collection that is not the profile's own: the table walks its items.
class Fake_Mail : public Mail_Item
{
public:
    explicit Fake_Mail(QString subject) : subject_(std::move(subject)) {}
    QString EntryID() const override { return "0A0B"; }
    QString MessageClass() const override { return "IPM.Note"; }
    QString Subject() const override { return subject_; }
    QString Body() const override { return {}; }
    QString Display_To() const override { return {}; }
    QDateTime Delivery_Time() const override { return QDateTime::fromSecsSinceEpoch(42); }
    void Move(Mapi_Folder&) override {}
    void Delete() override {}
    void Display() override {}

private:
    QString subject_;
};

class Fake_Items : public Items_Collection
{
public:
    int Count() const override { return 3; }
    std::shared_ptr<Outlook_Item> Item(int index) override
    {
        if (index == 2)
            return nullptr; // vanished
        return std::make_shared<Fake_Mail>(QString("fake %1").arg(index));
    }
    std::shared_ptr<Task_Item> Add_Task() override { return nullptr; }
    std::shared_ptr<Items_Collection> Restrict(const QString&) override { return nullptr; }
};

} // namespace

TEST(TableFallback, WalksAForeignCollectionItemByItem)
{
    QuorinMAPITable table;
    table.Set_Item(std::make_shared<Fake_Items>());
    table.Set_Columns(kColumns);
    ASSERT_EQ(table.RowCount(), 3);
    const auto rows = table.GetRows(3);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(*rows[1].Subject, "fake 3");
    EXPECT_EQ(rows[1].Entry_ID, QByteArray("\x0a\x0b"));
    EXPECT_EQ(rows[1].Delivery_Time->toSecsSinceEpoch(), 42);
    EXPECT_EQ(*rows[1].Message_Class, "IPM.Note");
}
