// Address extraction, the recognition rule and the bounced list's rules.

#include "config/Identifier_Lists.h"
#include "engine/Recognition.h"
#include "engine/Run_State.h"

#include <gtest/gtest.h>

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

TEST(Extraction, DelimitersEndTheAddress)
{
    EXPECT_EQ(Around_First_At("Failed: <bob.smith@example.com> (user unknown)"), "bob.smith@example.com");
    EXPECT_EQ(Around_First_At("To: (bob@example.com)"), "bob@example.com");
    EXPECT_EQ(Around_First_At("\"bob@example.com\" could not be reached"), "bob@example.com");
    EXPECT_EQ(Around_First_At("'bob@example.com';next"), "bob@example.com");
    EXPECT_EQ(Around_First_At("rcpt=bob@example.com,x"), "bob@example.com");
    EXPECT_EQ(Around_First_At("line\r\nbob@example.com\r\nnext"), "bob@example.com");
    EXPECT_EQ(Around_First_At("mailto:bob@example.com/x"), "bob@example.com");
}

TEST(Extraction, PlusSignAndNonAsciiCutTheLocalPart)
{
    EXPECT_EQ(Around_First_At("error+1826111378@example.com"), "1826111378@example.com");
    // Characters are compared by code: an accented letter ends the address.
    EXPECT_EQ(Around_First_At(QStringLiteral("jos\u00e9@example.com")), "@example.com");
    EXPECT_EQ(Around_First_At(QStringLiteral("bob@ex\u00e4mple.com")), "bob@ex");
}

TEST(Extraction, TrailingDotsAndEdgesOfTheText)
{
    EXPECT_EQ(Around_First_At("Write to bob@example.com."), "bob@example.com");
    EXPECT_EQ(Around_First_At("Write to bob@example.com.."), "bob@example.com.");
    EXPECT_EQ(Around_First_At("bob@example.com is unknown"), "bob@example.com");
    EXPECT_EQ(Around_First_At("<bob@example.com"), "bob@example.com");
    EXPECT_EQ(Around_First_At("@example.com rest"), "@example.com");
    EXPECT_EQ(Around_First_At("ends with bob@"), "bob@");
    EXPECT_EQ(Around_First_At(" @ "), "@");
    EXPECT_EQ(Around_First_At("@"), "@");
    // Leading dots, dashes and underscores and a dot before the "@" stay.
    EXPECT_EQ(Around_First_At("x .-_bob.@example.com"), ".-_bob.@example.com");
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

TEST(Bounced_List, FoundMessageIndexChangesOnlyOnAHit)
{
    State().Bounced_Emails.Clear();
    Add_Bounced_Email("A@X.COM", 4);
    Add_Bounced_Email("B@X.COM", 9);
    State().Found_Message_Index = -7;
    EXPECT_FALSE(Find_Bounced_Email("C@X.COM"));
    EXPECT_EQ(State().Found_Message_Index, -7);
    EXPECT_TRUE(Find_Bounced_Email("B@X.COM"));
    EXPECT_EQ(State().Found_Message_Index, 9);
    EXPECT_FALSE(Find_Bounced_Email(""));
    EXPECT_EQ(State().Found_Message_Index, 9);
    EXPECT_EQ(State().Num_Bounced_Emails(), 2);
    State().Bounced_Emails.Clear();
}
