// The manual processing of picked messages on a real profile: its progress
// lines, which contacts and messages it touches, the rows it takes out of the
// window's list, and its refusals.

#include "Engine_Test_Profile.h"
#include "config/Registry_Routines.h"
#include "engine/Manual_Scan.h"

#include <gtest/gtest.h>

using namespace bc;
using namespace bc::engine;

namespace {

const QString kBounce = QStringLiteral("Undelivered Mail Returned to Sender");
const QString kReport = QStringLiteral("Undeliverable: Hello");
const QString kRule = QString(69, QLatin1Char('_'));

class Fake_Window : public Manual_Scan_List, public Selective_Conversion_View
{
public:
    bool Listing_Active() const override { return listing; }
    bool Has_Selected_Row() const override { return clicked; }
    QStringList Selected_Keys() const override { return keys; }
    const std::vector<outlook::Message_Row>& Listed_Rows() const override { return rows; }
    QString Listed_Store_ID() const override { return store; }
    bool Remove_Row(const QString& key) override
    {
        removed << key;
        return true;
    }
    void Clear_Selected_Row() override { clicked = false; }
    int Row_Count() const override { return 7; }
    void Set_Status(const QString& text) override { status = text; }

    bool listing = false;
    bool clicked = true;
    QStringList keys;
    std::vector<outlook::Message_Row> rows;
    QString store;
    QStringList removed;
    QString status;
};

class Fixed_Databases : public Database_List_View
{
public:
    std::vector<Database_Row> Rows() const override
    {
        return {{QStringLiteral("key0"), QStringLiteral("Contacts"), true},
                {QStringLiteral("key1"), QStringLiteral("Other"), false}};
    }
};

// Inbox rows: 0 a bounce for Bob, 1 an ordinary message, 2 a delivery report
// with a returned subject. Bob is in "Contacts" (selected) and in "Other"
// (not selected); the settings delete the matching contact.
struct Scenario
{
    Scenario()
    {
        profile.Add_Message(kBounce, QStringLiteral("<bob@example.com>: 550 no such user\r\n"));
        profile.Add_Message(QStringLiteral("Lunch"), QStringLiteral("At noon, bob@example.com?\r\n"));
        profile.Add_Message(kReport, QStringLiteral("bob@example.com\r\n"), QStringLiteral("Inbox"),
                            "X-Message-Class: REPORT.IPM.Note.NDR\r\n");
        bob = profile.Add_Contact(QStringLiteral("bob.vcf"), QStringLiteral("Bob Smith"),
                                  {QStringLiteral("bob@example.com")});
        otherBob = profile.Add_Contact(QStringLiteral("bob.vcf"), QStringLiteral("Bob Smith"),
                                       {QStringLiteral("bob@example.com")}, {}, QStringLiteral("Other"));
        profile.Add_Database(QStringLiteral("Contacts"));
        profile.Add_Database(QStringLiteral("Other"), QStringLiteral("Other"));
        profile.Read_Inbox();
        window.rows = State().Message_Rows;
        window.store = State().Input_Store_ID;
        State().Message_Rows.clear(); // as after a run of another folder
        choices.deleteContact = 1;
        Set_Selective_Conversion_View(&window);
    }

    bool Scan(const QList<int>& picked)
    {
        for (int row : picked)
            window.keys << Message_Row_Key(row);
        return Manual_Scan(Manual_Scan_Context{choices, &databases, &progress, window});
    }

    test::Engine_Profile profile; // first: it resets the program-wide state
    test::Fixed_Choices choices;
    test::Recorded_Progress progress;
    Fixed_Databases databases;
    Fake_Window window;
    QString bob;
    QString otherBob;
};

QStringList Contact_Lines()
{
    return {QStringLiteral("Scanning Database: Contacts"),
            QStringLiteral("Opening the Outlook Contact Folder."),
            QStringLiteral("Found Matching Contact. Contact Name: Bob Smith Email Address: bob@example.com"),
            QStringLiteral("Deleted Contact. Contact Name: Bob Smith"),
            QStringLiteral("Found 1 contacts with returned email"),
            QStringLiteral("Scan on database: Contacts is done."),
            QStringLiteral("Closing Database: Contacts")};
}

} // namespace

TEST(Manual_Scan, PickedRowsGiveTheirLinesContactsAndDisposal)
{
    const QStringList logging = {QStringLiteral("Logging into Outlook Mailbox")};
    const QStringList closing = {
        QStringLiteral("Bounced Emails Scan is done. No more databases selected to process."), kRule};
    const QStringList lunch = {
        QStringLiteral("Email Subject::: Lunch ::: did not match a Returned Email ID."),
        QStringLiteral("Use the Tools option to add the identifier to the Returned "
                       "Emails IDs List.")};
    const QStringList none = {QStringLiteral("No returned emails found. Processing done.")};
    const QStringList found = {QStringLiteral("Found Returned Email: ") + kBounce};
    const QStringList disposal = {QStringLiteral("Post Email Action"),
                                  QStringLiteral("Moving/Deleting Email")};
    struct Case
    {
        const char* name;
        int mode;
        QList<int> picked; // in display order; visited from the last
        QStringList lines;
        bool bobDeleted;
        QStringList removed;
    };
    const Case cases[] = {
        {"ordinary message only", 2, {1}, logging + lunch + none + closing, false, {}},
        {"delivery report is found but not scanned",
         2,
         {2},
         logging + QStringList{QStringLiteral("Found Returned Email: ") + kReport} + none + closing,
         false,
         {}},
        {"leave: last row first, no disposal",
         1,
         {0, 1},
         logging + lunch + found + Contact_Lines() + closing,
         true,
         {}},
        {"move without a destination leaves", 3, {0}, logging + found + Contact_Lines() + closing, true, {}},
        {"delete moves and takes the row out",
         2,
         {1, 0},
         logging + found + lunch + Contact_Lines() + disposal + closing,
         true,
         {Message_Row_Key(0)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scenario s;
        Save_Setting(Email_What_To_Do, c.mode);
        EXPECT_TRUE(s.Scan(c.picked));
        EXPECT_EQ(s.progress.lines, c.lines);
        EXPECT_EQ(s.profile.Contact(s.bob) == nullptr, c.bobDeleted);
        EXPECT_NE(s.profile.Contact(s.otherBob), nullptr); // its database is not selected
        EXPECT_EQ(s.window.removed, c.removed);
        EXPECT_EQ(s.profile.Files(QStringLiteral("Inbox")).size(), 3 - c.removed.size());
        EXPECT_EQ(s.profile.Files(QStringLiteral("Deleted Items")).size(), c.removed.size());
        EXPECT_EQ(s.window.status, c.removed.isEmpty() ? QString() : QStringLiteral("7"));
        EXPECT_TRUE(s.profile.messages.shown.isEmpty()) << s.profile.messages.shown.join(u'|').toStdString();
    }
}

TEST(Manual_Scan, RefusesWhileListingOrRunningOrWithoutAClickedRow)
{
    struct Case
    {
        const char* name;
        bool listing;
        bool clicked;
        bool running;
        QString message;
    };
    const Case cases[] = {
        {"listing", true, true, false, kListingUnderWay},
        {"listing wins over no click", true, false, false, kListingUnderWay},
        {"no clicked row", false, false, false, kNoEmailPicked},
        {"a run under way", false, true, true, kOtherRunUnderWay},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scenario s;
        s.window.listing = c.listing;
        s.window.clicked = c.clicked;
        Flags().Run_In_Progress = c.running;
        EXPECT_FALSE(s.Scan({0}));
        EXPECT_EQ(s.profile.messages.shown, QStringList{c.message});
        EXPECT_TRUE(s.progress.lines.isEmpty());
        EXPECT_EQ(s.progress.shown, 0);
        EXPECT_NE(s.profile.Contact(s.bob), nullptr);
        EXPECT_EQ(Flags().Run_In_Progress, c.running); // a refusal leaves another run's guard alone
    }
}
