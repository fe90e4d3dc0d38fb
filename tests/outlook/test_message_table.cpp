// The message table: subject, delivery time, EntryID and class of every
// message of a folder, from the header section of each file.

#include "outlook/Mapi_Components.h"
#include "outlook/Outlook_Session.h"
#include "test_profile_support.h"

#include <utime.h>

using namespace bc::outlook;
using namespace bc::test;

namespace {

const std::vector<quint32> kColumns = {PR_SUBJECT, PR_MESSAGE_DELIVERY_TIME, PR_ENTRYID, PR_MESSAGE_CLASS};

class Table : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ns = Open_Session();
        ASSERT_TRUE(ns);
        inbox = Personal_Folders(home) + "/Inbox";
    }

    std::vector<Message_Row> Rows(const QByteArray& folder = "Inbox")
    {
        QuorinMAPITable table;
        table.Set_Item(Folder_At(*ns, folder)->Items());
        table.Set_Columns(kColumns);
        table.GoToFirst();
        return table.GetRows(table.RowCount());
    }

    Temp_Home home;
    std::shared_ptr<Name_Space> ns;
    QString inbox;
};

} // namespace

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
