// Runs on a real profile, then their undo: every contact, task and message
// byte for byte as before; a contact edited after the run left as it is and
// listed; the preview changes nothing and reports what the run then does;
// only the newest runs are kept.

#include "Engine_Test_Profile.h"
#include "config/Registry_Routines.h"
#include "engine/Manual_Scan.h"
#include "engine/Run.h"
#include "engine/Run_Journal.h"
#include "engine/Run_Undo.h"

#include <gtest/gtest.h>

#include <map>

using namespace bc;
using namespace bc::engine;

namespace {

const QString kBounce = QStringLiteral("Undelivered Mail Returned to Sender");

using Snapshot = std::map<QString, QByteArray>;
using test::Files_Below;

class Manual_List : public Manual_Scan_List
{
public:
    bool Listing_Active() const override { return false; }
    bool Has_Selected_Row() const override { return true; }
    QStringList Selected_Keys() const override { return keys; }
    const std::vector<outlook::Message_Row>& Listed_Rows() const override { return rows; }
    QString Listed_Store_ID() const override { return store; }
    QStringList keys;
    std::vector<outlook::Message_Row> rows;
    QString store;
};

class Both_Databases : public Database_List_View
{
public:
    std::vector<Database_Row> Rows() const override
    {
        return {{QStringLiteral("key0"), QStringLiteral("Contacts"), true},
                {QStringLiteral("key1"), QStringLiteral("Clients"), true}};
    }
};

// Two returned messages (one of them for two contacts, one bounced address
// in a second slot), an ordinary message, and contacts in two databases.
struct Scenario
{
    Scenario()
    {
        const QString unread =
            profile.Add_Message(kBounce, QStringLiteral("<bob@example.com>: 550 no such user\r\n"
                                                        "<ann@example.org>: 550 mailbox unavailable\r\n"));
        // Unread, as a mail program delivers it: undo must bring it back under this very name.
        QDir().mkpath(profile.Folder(QStringLiteral("Inbox/new")));
        QDir().rename(profile.Folder(QStringLiteral("Inbox/cur/")) + unread + QStringLiteral(":2,S"),
                      profile.Folder(QStringLiteral("Inbox/new/")) + unread);
        profile.Add_Message(QStringLiteral("Lunch"), QStringLiteral("At noon?\r\n"));
        profile.Add_Message(QStringLiteral("Delivery Status Notification (Failure)"),
                            QStringLiteral("Delivery to cid@example.net failed.\r\n"));
        bob = profile.Add_Contact(QStringLiteral("bob.vcf"), QStringLiteral("Bob Smith"),
                                  {QStringLiteral("bob@example.com")}, QStringLiteral("Met in Rome"));
        ann =
            profile.Add_Contact(QStringLiteral("ann.vcf"), QStringLiteral("Ann Lee"),
                                {QStringLiteral("ann.lee@home.example"), QStringLiteral("ANN@example.org")});
        profile.Add_Contact(QStringLiteral("dan.vcf"), QStringLiteral("Dan Ode"),
                            {QStringLiteral("dan@example.com")});
        cid = profile.Add_Contact(QStringLiteral("cid.vcf"), QStringLiteral("Cid Moss"),
                                  {QStringLiteral("cid@example.net")}, {}, QStringLiteral("Clients"));
        profile.Add_Database(QStringLiteral("Contacts"));
        profile.Add_Database(QStringLiteral("Clients"), QStringLiteral("Clients"));
        test::Engine_Profile::Write_File(profile.Folder(QStringLiteral("Tasks/.keep")), {});
        profile.Move_Returned_Messages_To(QStringLiteral("Bounced"));
        Save_Setting(ToDo_Regarding, QStringLiteral("Returned Email"));
    }

    void Annotate()
    {
        choices.note = 1;
        choices.clearAddress = 1;
        choices.setField = 1;
        choices.field = QStringLiteral("User1");
        choices.value = QStringLiteral("Returned Email");
        choices.event = QStringLiteral("Task");
    }

    bool Run_All() { return ConvertCurrent(false, Run_Context{choices, nullptr, &progress}); }

    // Picks the returned messages in the manual scan window's way.
    bool Run_Manually()
    {
        profile.Read_Inbox();
        Manual_List list;
        list.rows = State().Message_Rows;
        list.store = State().Input_Store_ID;
        for (qint32 row = 0; row < qint32(list.rows.size()); ++row)
            list.keys << Message_Row_Key(row);
        return Manual_Scan(Manual_Scan_Context{choices, &databases, &progress, list});
    }

    Snapshot Profile_Files() const { return Files_Below(profile.home.Profile()); }

    test::Engine_Profile profile; // first: it resets the program-wide state
    test::Fixed_Choices choices;
    test::Recorded_Progress progress;
    Both_Databases databases;
    QString bob, ann, cid;
};

struct Undo_Case
{
    const char* name;
    bool annotate;
    int disposal; // Email_What_To_Do
    bool manual;
};

} // namespace

TEST(Run_Journal, UndoLeavesEveryContactTaskAndMessageAsBefore)
{
    const Undo_Case cases[] = {
        {"delete, move", false, 3, false},
        {"annotate with task, move", true, 3, false},
        {"annotate with task, delete messages", true, 2, false},
        {"manual, annotate, move", true, 3, true},
        {"manual, delete, delete messages", false, 2, true},
    };
    for (const Undo_Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scenario s;
        if (c.annotate)
            s.Annotate();
        else
            s.choices.deleteContact = 1;
        Save_Setting(Email_What_To_Do, c.disposal);
        const Snapshot before = s.Profile_Files();

        ASSERT_TRUE(c.manual ? s.Run_Manually() : s.Run_All());
        const Snapshot after = s.Profile_Files();
        // Three contacts in two databases changed, Dan did not.
        for (const char* file :
             {"Contacts/bob.vcf", "Contacts/ann.vcf", "Clients/cid.vcf", "Contacts/dan.vcf"}) {
            const QString path = QStringLiteral("Personal Folders/") + QLatin1String(file);
            const bool changed = !after.count(path) || after.at(path) != before.at(path);
            EXPECT_EQ(changed, !path.endsWith(QLatin1String("dan.vcf"))) << file;
        }

        const Undo_Plan plan = Plan_Undo_Last_Run();
        ASSERT_TRUE(plan.Run.has_value()) << plan.Refusal.toStdString();
        EXPECT_EQ(plan.Counts.Messages_Back, 2);
        EXPECT_EQ(plan.Counts.Tasks_Removed, c.annotate ? 3 : 0);
        EXPECT_EQ(plan.Counts.Contacts_Back + plan.Counts.Contacts_Restored, 3);
        const Undo_Result undone = Undo_Last_Run();
        ASSERT_TRUE(undone.Done) << undone.Refusal.toStdString();
        EXPECT_TRUE(undone.Counts.Not_Restored.isEmpty())
            << undone.Counts.Not_Restored.join('\n').toStdString();
        EXPECT_EQ(s.Profile_Files(), before);

        // Applied once: a second undo refuses and touches nothing.
        const Undo_Result again = Undo_Last_Run();
        EXPECT_FALSE(again.Done);
        EXPECT_TRUE(again.Refusal.contains(QStringLiteral("already been undone")))
            << again.Refusal.toStdString();
        EXPECT_EQ(s.Profile_Files(), before);
    }
}

TEST(Run_Journal, UndoLeavesWhatChangedSinceTheRunAndListsIt)
{
    Scenario s;
    s.Annotate();
    const Snapshot before = s.Profile_Files();
    ASSERT_TRUE(s.Run_All());
    // The user edits Bob afterwards and moves a returned message on.
    QByteArray edited = s.profile.home.Read(s.bob);
    edited.replace("END:VCARD", "TEL:+1 555 0100\r\nEND:VCARD");
    test::Engine_Profile::Write_File(s.bob, edited);
    const QString moved = s.profile.Files(QStringLiteral("Bounced")).first();
    ASSERT_TRUE(QDir().rename(s.profile.Folder(QStringLiteral("Bounced/cur/")) + moved,
                              s.profile.Folder(QStringLiteral("Deleted Items/cur/")) + moved));

    const Undo_Result undone = Undo_Last_Run();
    ASSERT_TRUE(undone.Done);
    EXPECT_EQ(s.profile.home.Read(s.bob), edited);
    ASSERT_EQ(undone.Counts.Not_Restored.size(), 2);
    EXPECT_TRUE(undone.Counts.Not_Restored[0].contains(QStringLiteral("Bob Smith")));
    EXPECT_TRUE(undone.Counts.Not_Restored[0].contains(QStringLiteral("changed since the run")));
    EXPECT_TRUE(undone.Counts.Not_Restored[1].contains(QStringLiteral("no longer in Bounced")));
    EXPECT_TRUE(undone.Report_Text.contains(undone.Counts.Not_Restored[0]));
    // Everything else is back.
    const Snapshot now = s.Profile_Files();
    for (const auto& [path, bytes] : before) {
        if (path.endsWith(QLatin1String("bob.vcf")) ||
            path.startsWith(QLatin1String("Personal Folders/Inbox/")))
            continue;
        EXPECT_TRUE(now.count(path) && now.at(path) == bytes) << path.toStdString();
    }
    EXPECT_EQ(s.profile.Files(QStringLiteral("Inbox")).size(), 2);
    EXPECT_TRUE(s.profile.Files(QStringLiteral("Tasks")).filter(QStringLiteral(".ics")).isEmpty());
}

TEST(Run_Journal, PreviewChangesNothingAndReportsWhatTheRunThenDoes)
{
    Scenario s;
    s.Annotate();
    Save_Setting(Log_Enabled, 1);
    // Listed twice: the second walk must see what the preview pretended to write.
    s.profile.Add_Database(QStringLiteral("Contacts"));
    const Snapshot profileBefore = s.Profile_Files();
    const Snapshot dataBefore = Files_Below(s.profile.home.Path() + QStringLiteral("/config"));
    {
        const Preview_Request preview;
        ASSERT_TRUE(s.Run_All());
    }
    const Finished_Report preview = Last_Finished_Report();
    EXPECT_TRUE(preview.Preview);
    EXPECT_TRUE(preview.Path.isEmpty());
    EXPECT_EQ(s.Profile_Files(), profileBefore);
    EXPECT_EQ(Files_Below(s.profile.home.Path() + QStringLiteral("/config")), dataBefore);
    EXPECT_FALSE(QDir(Data_File(kRunsFolder)).exists());
    // The log is written, its lines marked.
    const QByteArray log = s.profile.home.Read(Data_File(QStringLiteral("bouncedemails.log")));
    EXPECT_TRUE(log.contains("[Preview] Found Matching Contact. Contact Name: Bob Smith")) << log.constData();
    const QStringList previewLines = s.progress.lines;

    s.progress.lines.clear();
    ASSERT_TRUE(s.Run_All());
    const Finished_Report run = Last_Finished_Report();
    EXPECT_EQ(s.progress.lines, previewLines);
    EXPECT_EQ(s.profile.home.Read(run.Path), run.Text.toUtf8());
    const auto changes = [](const QString& text) {
        return text.mid(text.indexOf(QStringLiteral("\nContacts (")));
    };
    EXPECT_EQ(changes(preview.Text), changes(run.Text));

    // What the report says of Ann, matched on her second address.
    const QString ann =
        changes(run.Text).section(QStringLiteral("\n  Ann Lee\n"), 1).section(QStringLiteral("\n\n"), 0, 0);
    EXPECT_TRUE(ann.contains(QStringLiteral("File:     ") + s.ann)) << ann.toStdString();
    EXPECT_TRUE(ann.contains(QStringLiteral("Matched:  ANN@example.org in Email2Address")));
    EXPECT_TRUE(ann.contains(QStringLiteral("Message:  \"") + kBounce + QStringLiteral("\" of 2023-11-1")));
    EXPECT_TRUE(ann.contains(QStringLiteral("Done:     note added; Email2Address cleared; "
                                            "field \"User1\" set to \"Returned Email\"; task made")));
    EXPECT_TRUE(run.Text.contains(QStringLiteral(": moved to Bounced\n")));
    EXPECT_TRUE(
        run.Text.contains(QStringLiteral("Contacts matched:   3 (deleted 0, changed 3, tasks made 3)")));
    EXPECT_TRUE(
        run.Text.contains(QStringLiteral("Returned messages:  2 (moved 2, deleted 0, left 0, not moved 0)")));
}

TEST(Run_Journal, KeepsOnlyTheNewestRuns)
{
    Scenario s;
    s.choices.deleteContact = 1;
    Save_Setting(Runs_To_Keep, 2);
    ASSERT_TRUE(s.Run_All()); // changes Bob, Ann, Cid
    const QString first = Last_Finished_Report().Path;
    ASSERT_TRUE(s.Run_All()); // nothing left to change
    ASSERT_TRUE(s.Run_All());
    const auto runs = List_Runs();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_FALSE(QFile::exists(first));
    EXPECT_EQ(QDir(runs.back().Path).filePath(kReportFile), Last_Finished_Report().Path);
    // Runs that changed nothing are passed over; the one that did is gone.
    EXPECT_EQ(Plan_Undo_Last_Run().Refusal, kNothingToUndo);
}
