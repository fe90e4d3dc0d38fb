// Address extraction, the recognition rule and the bounced list's rules, and
// scanning returned messages of a real Maildir for their addresses.

#include "Engine_Test_Profile.h"
#include "engine/Recognition.h"

#include <QDirIterator>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <utility>

using namespace bc;
using namespace bc::engine;

namespace {

// The address around the first "@" of the text.
QString Around_First_At(const QString& text)
{
    return Extract_Email_Address(text, static_cast<int>(text.indexOf(QLatin1Char('@')) + 1));
}

outlook::Message_Row Row(std::optional<QString> subject, std::optional<QString> messageClass)
{
    outlook::Message_Row row;
    row.Subject = std::move(subject);
    row.Message_Class = std::move(messageClass);
    return row;
}

} // namespace

TEST(Extraction, TheAddressAroundTheFirstAt)
{
    const std::pair<QString, QString> cases[] = {
        // Delimiters end the address.
        {"Failed: <bob.smith@example.com> (user unknown)", "bob.smith@example.com"},
        {"To: (bob@example.com)", "bob@example.com"},
        {"\"bob@example.com\" could not be reached", "bob@example.com"},
        {"'bob@example.com';next", "bob@example.com"},
        {"rcpt=bob@example.com,x", "bob@example.com"},
        {"line\r\nbob@example.com\r\nnext", "bob@example.com"},
        {"mailto:bob@example.com/x", "bob@example.com"},
        // A plus sign cuts the local part; characters are compared by code,
        // so an accented letter ends the address.
        {"error+1826111378@example.com", "1826111378@example.com"},
        {QStringLiteral("jos\u00e9@example.com"), "@example.com"},
        {QStringLiteral("bob@ex\u00e4mple.com"), "bob@ex"},
        // Trailing dots and the edges of the text.
        {"Write to bob@example.com.", "bob@example.com"},
        {"Write to bob@example.com..", "bob@example.com."},
        {"bob@example.com is unknown", "bob@example.com"},
        {"<bob@example.com", "bob@example.com"},
        {"@example.com rest", "@example.com"},
        {"ends with bob@", "bob@"},
        {" @ ", "@"},
        {"@", "@"},
        // Leading dots, dashes and underscores and a dot before the "@" stay.
        {"x .-_bob.@example.com", ".-_bob.@example.com"},
    };
    for (const auto& [text, address] : cases)
        EXPECT_EQ(Around_First_At(text), address) << text.toStdString();
}

TEST(Extraction, EachAtOfAWordGivesItsOwnAddress)
{
    const QString text = QStringLiteral("a@b@c");
    EXPECT_EQ(Extract_Email_Address(text, 2), "a@b");
    EXPECT_EQ(Extract_Email_Address(text, 4), "b@c");
    // Positions outside the text give nothing rather than a crash.
    EXPECT_EQ(Extract_Email_Address(text, 0), "");
    EXPECT_EQ(Extract_Email_Address(text, 6), "");
}

class Recognition : public ::testing::Test
{
protected:
    void SetUp() override { Lists().Search_Strings = Fallback_Search_Strings(); }
    void TearDown() override { Lists().Search_Strings.clear(); }
};

TEST_F(Recognition, SubjectAndExactClassDecide)
{
    EXPECT_TRUE(Is_Returned_Message(Row(QStringLiteral("UNDELIVERABLE: hello"), QStringLiteral("IPM.Note"))));
    EXPECT_TRUE(Is_Returned_Message(
        Row(QStringLiteral("Fw: Returned Mail: see transcript"), QStringLiteral("IPM.Note"))));
    EXPECT_FALSE(Is_Returned_Message(
        Row(QStringLiteral("Undeliverable: hello"), QStringLiteral("REPORT.IPM.Note.NDR"))));
    EXPECT_FALSE(
        Is_Returned_Message(Row(QStringLiteral("Undeliverable: hello"), QStringLiteral("ipm.note"))));
    EXPECT_FALSE(
        Is_Returned_Message(Row(QStringLiteral("Undeliverable: hello"), QStringLiteral("IPM.Note.Custom"))));
    EXPECT_FALSE(Is_Returned_Message(Row(QStringLiteral("Undeliverable: hello"), std::nullopt)));
    EXPECT_FALSE(Is_Returned_Message(Row(QStringLiteral("Lunch on Friday"), QStringLiteral("IPM.Note"))));
    EXPECT_FALSE(Is_Returned_Message(Row(std::nullopt, QStringLiteral("IPM.Note"))));
    EXPECT_FALSE(Is_Returned_Message(Row(QString(), QStringLiteral("IPM.Note"))));
    // An empty identifier list recognises nothing.
    Lists().Search_Strings.clear();
    EXPECT_FALSE(
        Is_Returned_Message(Row(QStringLiteral("UNDELIVERABLE: hello"), QStringLiteral("IPM.Note"))));
}

TEST(Bounced_List, FirstRecordNamesTheFirstMessageAndRepeatsAreEmpty)
{
    Bounced_Email_List list;
    list.Add("A@X.COM", 3);
    list.Add("A@X.COM", 3); // same message: nothing
    list.Add("B@X.COM", 3);
    list.Add("A@X.COM", 5);
    list.Add("A@X.COM", 8);
    ASSERT_EQ(list.Count(), 4);
    const auto& r = list.Records();
    EXPECT_EQ(r[0].Email_Address, "A@X.COM");
    EXPECT_EQ(r[0].Message_Index, 3);
    EXPECT_EQ(r[1].Email_Address, "B@X.COM");
    EXPECT_EQ(r[2].Email_Address, "");
    EXPECT_EQ(r[2].Message_Index, 5);
    EXPECT_EQ(r[3].Email_Address, "");
    EXPECT_EQ(r[3].Message_Index, 8);

    qint32 index = -1;
    EXPECT_TRUE(list.Find("A@X.COM", &index));
    EXPECT_EQ(index, 3);
    EXPECT_FALSE(list.Find("a@x.com", &index)); // callers upper-case
    EXPECT_FALSE(list.Find("A@X.CO", &index));
    // Repeat records never match, not even an empty address.
    EXPECT_FALSE(list.Find("", &index));
    list.Clear();
    EXPECT_TRUE(list.Empty());
    EXPECT_FALSE(list.Find("A@X.COM", &index));
}

namespace {

QStringList Addresses()
{
    QStringList out;
    for (const Bounced_Email& record : State().Bounced_Emails.Records())
        out << record.Email_Address + QLatin1Char('/') + QString::number(record.Message_Index);
    return out;
}

class Scan : public ::testing::Test
{
protected:
    test::Engine_Profile profile;
};

} // namespace

TEST_F(Scan, AddressesAreUpperCasedAndTheUsersOwnIsDropped)
{
    Add_No_Check_String(QStringLiteral("jane.doe@example.com"));
    profile.Add_Message(QStringLiteral("Undeliverable: Hello"),
                        QStringLiteral("Your message to <Bob.Smith@Example.com> from jane.doe@example.com\r\n"
                                       "could not be delivered. Contact postmaster@mx.example.net.\r\n"
                                       "Again: bob.smith@example.com.\r\n"));
    ASSERT_EQ(profile.Read_Inbox(), 1);
    Scan_Email_For_Return_Emails(0);
    EXPECT_EQ(Addresses(), QStringList({"BOB.SMITH@EXAMPLE.COM/0", "POSTMASTER@MX.EXAMPLE.NET/0"}));
    EXPECT_TRUE(profile.messages.shown.isEmpty());
}

TEST_F(Scan, RepeatsInLaterMessagesGiveEmptyRecords)
{
    profile.Add_Message(QStringLiteral("failure notice"), QStringLiteral("<a@x.org> failed"));
    profile.Add_Message(QStringLiteral("failure notice"),
                        QStringLiteral("A@X.ORG failed, and so did b@x.org"));
    profile.Add_Message(QStringLiteral("failure notice"), QStringLiteral("a@x.org a@x.org"));
    ASSERT_EQ(profile.Read_Inbox(), 3);
    for (qint32 row = 0; row < 3; ++row)
        Scan_Email_For_Return_Emails(row);
    EXPECT_EQ(Addresses(), QStringList({"A@X.ORG/0", "/1", "B@X.ORG/1", "/2", "/2"}));
}

TEST_F(Scan, BodiesWithoutAddressesGiveNoRecord)
{
    Add_No_Check_String(QStringLiteral("JANE.DOE@EXAMPLE.COM"));
    profile.Add_Message(QStringLiteral("Undeliverable"), QStringLiteral("No address here at all."));
    profile.Add_Message(QStringLiteral("Undeliverable"), QStringLiteral("Only mine: jane.doe@example.com."));
    profile.Add_Message(QStringLiteral("Undeliverable"), QStringLiteral("@ starts this body"));
    ASSERT_EQ(profile.Read_Inbox(), 3);
    for (qint32 row = 0; row < 3; ++row)
        Scan_Email_For_Return_Emails(row);
    // The lone "@" is kept like any other address (it matches no contact).
    EXPECT_EQ(Addresses(), QStringList({"@/2"}));
}

TEST_F(Scan, AMessageThatVanishedShowsTheErrorAndAddsNothing)
{
    profile.Add_Message(QStringLiteral("Undeliverable"), QStringLiteral("bob@example.com"));
    ASSERT_EQ(profile.Read_Inbox(), 1);
    for (const QString& file : profile.Files(QStringLiteral("Inbox")))
        QFile::remove(profile.Folder(QStringLiteral("Inbox/cur/")) + file);
    Scan_Email_For_Return_Emails(0);
    Scan_Email_For_Return_Emails(5); // no such row
    EXPECT_TRUE(State().Bounced_Emails.Empty());
    ASSERT_EQ(profile.messages.shown.size(), 2);
    for (const QString& text : profile.messages.shown)
        EXPECT_TRUE(text.startsWith(QStringLiteral("Error on Scan Email For Return Emails. ")))
            << text.toStdString();
}

// Real returned messages from many mail servers: none may crash the scan, and
// each recognised one whose body text holds an address must give a record.
// Some servers name the failed recipient only in the delivery-status part or
// the attached original, which are not part of the body text.
TEST_F(Scan, SampleCorporaYieldAnAddressForEveryRecognisedBounce)
{
    QStringList samples;
    QDirIterator it(test::Testdata_Dir() + QStringLiteral("/bounces"), {QStringLiteral("*.eml")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        samples << it.next();
    samples.sort();
    ASSERT_GT(samples.size(), 100);
    for (const QString& path : samples) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        profile.Add_Raw_Message(file.readAll());
    }
    const int rows = profile.Read_Inbox();
    ASSERT_EQ(rows, samples.size());

    int recognised = 0;
    QStringList silent;
    for (qint32 row = 0; row < rows; ++row) {
        if (!Is_Returned_Message(State().Message_Rows[row]))
            continue;
        ++recognised;
        const qint32 before = State().Num_Bounced_Emails();
        Scan_Email_For_Return_Emails(row);
        if (State().Num_Bounced_Emails() > before)
            continue;
        // Rows follow the order in which the samples were added.
        const QString name = QFileInfo(samples[row]).fileName();
        silent << name;
        EXPECT_FALSE(Open_Message_Row(row)->Body().contains(QLatin1Char('@'))) << name.toStdString();
    }
    EXPECT_GT(recognised, samples.size() / 2);
    EXPECT_LE(silent.size(), recognised / 10) << silent.join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(profile.messages.shown.isEmpty())
        << profile.messages.shown.join(QStringLiteral(" | ")).toStdString();
    for (const Bounced_Email& record : State().Bounced_Emails.Records()) {
        EXPECT_EQ(record.Email_Address, record.Email_Address.toUpper());
        EXPECT_FALSE(record.Email_Address.contains(QLatin1Char(' ')));
    }
}
