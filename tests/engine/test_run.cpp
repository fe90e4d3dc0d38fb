// Whole processing runs on a temporary profile: the exact progress lines,
// the fallbacks of the disposal, aborts, errors with their step codes, the
// selected databases and the unattended run. Then the parts a run is made of:
// the progress lines with their log file and yield, and leaving, deleting and
// moving returned messages with the manual scan window's list.

#include "Engine_Test_Profile.h"
#include "config/Registry_Routines.h"
#include "engine/Disposal.h"
#include "engine/Run.h"
#include "engine/Stored_Choices.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace bc;
using namespace bc::engine;

namespace {

const QString kRule = QString(44, QLatin1Char('-'));
const QString kDone = QStringLiteral("Processing Done. No more emails to process.");

class Fake_Database_List : public Database_List_View
{
public:
    std::vector<Database_Row> Rows() const override { return rows; }
    std::vector<Database_Row> rows;
};

class Run_Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        choices.deleteContact = 1;
        profile.Add_Message(QStringLiteral("Undeliverable: Offer"),
                            QStringLiteral("<bob@example.com> failed; sent by jane.doe@example.com"));
        profile.Add_Message(QStringLiteral("Lunch"), QStringLiteral("Ask carol@example.org"));
        profile.Add_Message(QStringLiteral("Mail delivery failed"),
                            QStringLiteral("carol@example.org: no such user"));
        Add_No_Check_String(QStringLiteral("jane.doe@example.com"));
        bob = profile.Add_Contact(QStringLiteral("a.vcf"), QStringLiteral("Bob Smith"),
                                  {QStringLiteral("bob@example.com")});
        carol =
            profile.Add_Contact(QStringLiteral("b.vcf"), QStringLiteral("Carol Jones"),
                                {QStringLiteral("carol@home.example"), QStringLiteral("Carol@Example.org")});
        profile.Add_Database(QStringLiteral("Contacts"));
    }

    bool Run(bool selectedOnly = false)
    {
        return ConvertCurrent(selectedOnly, Run_Context{choices, &databases, &progress});
    }

    QStringList Inbox() const { return profile.Files(QStringLiteral("Inbox")); }
    QStringList Deleted() const { return profile.Files(QStringLiteral("Deleted Items")); }

    test::Engine_Profile profile;
    test::Recorded_Progress progress;
    test::Fixed_Choices choices;
    Fake_Database_List databases;
    QString bob;
    QString carol;
};

} // namespace

TEST_F(Run_Test, AllDatabasesDeleteContactsAndDeleteMessages)
{
    Save_Setting(Email_What_To_Do, 2);
    EXPECT_TRUE(Run());
    EXPECT_EQ(progress.shown, 1);
    EXPECT_EQ(
        progress.lines,
        QStringList({"Logging into Outlook Mailbox", "Scanning Inbox for Invalid Emails...",
                     "Bounced Email Found: Undeliverable: Offer", "Bounced Email Found: Mail delivery failed",
                     "Scanning Folder: Contacts", "Opening the Outlook Contact Folder.",
                     "Found Matching Contact. Contact Name: Carol Jones Email Address: carol@home.example",
                     "Deleted Contact. Contact Name: Carol Jones",
                     "Found Matching Contact. Contact Name: Bob Smith Email Address: bob@example.com",
                     "Deleted Contact. Contact Name: Bob Smith", "Found 2 contacts with returned email",
                     "Scan on database: Contacts is done.", "Post Email Action", "Moving/Deleting Email",
                     kRule, kDone}));
    EXPECT_TRUE(profile.messages.shown.isEmpty())
        << profile.messages.shown.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(QFile::exists(bob));
    EXPECT_FALSE(QFile::exists(carol));
    EXPECT_EQ(Inbox().size(), 1); // the ordinary message stays
    EXPECT_EQ(Deleted().size(), 2);
    EXPECT_FALSE(Flags().Processing_Active);
    EXPECT_FALSE(Flags().Abort_Requested);
    EXPECT_FALSE(Flags().Run_In_Progress);
}

TEST_F(Run_Test, NoReturnedMessageTouchesNothing)
{
    Lists().Search_Strings = QStringList({QStringLiteral("no subject has this")});
    Save_Setting(Email_What_To_Do, 2);
    EXPECT_TRUE(Run());
    EXPECT_EQ(progress.lines,
              QStringList({"Logging into Outlook Mailbox", "Scanning Inbox for Invalid Emails...",
                           "No returned emails found. Processing done.", kRule, kDone}));
    EXPECT_EQ(Inbox().size(), 3);
    EXPECT_TRUE(QFile::exists(bob));
}

TEST_F(Run_Test, UnmatchedBouncesAreStillMovedToTheChosenFolder)
{
    QFile::remove(bob);
    QFile::remove(carol);
    profile.Move_Returned_Messages_To(QStringLiteral("Bounced"));
    EXPECT_TRUE(Run());
    EXPECT_TRUE(progress.lines.contains(QStringLiteral("No Matching Contacts were found.")));
    EXPECT_TRUE(progress.lines.contains(QStringLiteral("Moving/Deleting Email")));
    EXPECT_EQ(Inbox().size(), 1);
    EXPECT_EQ(profile.Files(QStringLiteral("Bounced")).size(), 2);
}

TEST_F(Run_Test, UnusableMoveTargetOrNoChoiceLeavesTheMessages)
{
    // Move without a stored destination; move to a folder that vanished;
    // nothing chosen at all.
    Save_Setting(Email_What_To_Do, 3);
    EXPECT_TRUE(Run());
    Save_Setting(Email_Destination_EntryID, outlook::Entry_ID_To_Hex("Gone"));
    Save_Setting(Email_Destination_StoreID, profile.storeId);
    EXPECT_TRUE(Run());
    Save_Setting(Email_What_To_Do, QString());
    EXPECT_TRUE(Run());
    EXPECT_EQ(Inbox().size(), 3);
    EXPECT_FALSE(progress.lines.contains(QStringLiteral("Post Email Action")));
    EXPECT_EQ(progress.lines.count(kDone), 3);
    EXPECT_TRUE(profile.messages.shown.isEmpty());
}

TEST_F(Run_Test, StoredInputFolderIsScannedAndAMissingOneEndsTheRun)
{
    profile.Add_Mail_Folder(QStringLiteral("Inbox/Bounces"));
    profile.Add_Message(QStringLiteral("failure notice"), QStringLiteral("zed@example.com"),
                        QStringLiteral("Inbox/Bounces"));
    Save_Setting(Email_Inbox_Entry_ID, outlook::Entry_ID_To_Hex("Inbox/Bounces"));
    Save_Setting(Email_Inbox_StoreID, profile.storeId);
    EXPECT_TRUE(Run());
    EXPECT_EQ(progress.lines.mid(1, 3),
              QStringList({"Scanning Inbox for Invalid Emails...", "Bounced Email Found: failure notice",
                           "Scanning Folder: Contacts"}));
    EXPECT_FALSE(State().Run_Failed);

    progress.lines.clear();
    Save_Setting(Email_Inbox_Entry_ID, outlook::Entry_ID_To_Hex("Nowhere"));
    EXPECT_TRUE(Run());
    EXPECT_EQ(progress.lines, QStringList({"Logging into Outlook Mailbox"}));
    EXPECT_EQ(profile.messages.shown, QStringList({"Could not map outlook input mail folder."}));
    EXPECT_FALSE(Flags().Processing_Active);
    EXPECT_TRUE(State().Run_Failed); // an unattended run ends with exit code 1
}

TEST_F(Run_Test, CloseDuringTheScanStopsBeforeAnyContactOrMessage)
{
    Save_Setting(Email_What_To_Do, 2);
    progress.onLine = [](const QString& line) {
        if (line.startsWith(QStringLiteral("Bounced Email Found")))
            Flags().Abort_Requested = true;
    };
    EXPECT_TRUE(Run());
    EXPECT_EQ(progress.lines,
              QStringList({"Logging into Outlook Mailbox", "Scanning Inbox for Invalid Emails...",
                           "Bounced Email Found: Undeliverable: Offer", "Processing Aborted", kRule, kDone}));
    EXPECT_TRUE(QFile::exists(bob));
    EXPECT_EQ(Inbox().size(), 3);
    EXPECT_FALSE(Flags().Abort_Requested);
}

TEST_F(Run_Test, CloseInTheSecondDatabaseKeepsTheFirstAndMovesNothing)
{
    const QString other =
        profile.Add_Contact(QStringLiteral("c.vcf"), QStringLiteral("Bob Again"),
                            {QStringLiteral("bob@example.com")}, {}, QStringLiteral("Friends"));
    profile.Add_Database(QStringLiteral("Friends"), QStringLiteral("Friends"));
    Save_Setting(Email_What_To_Do, 2);
    progress.onLine = [](const QString& line) {
        if (line ==
            QStringLiteral("Found Matching Contact. Contact Name: Bob Again Email Address: bob@example.com"))
            Flags().Abort_Requested = true;
    };
    EXPECT_TRUE(Run());
    EXPECT_FALSE(QFile::exists(bob));
    EXPECT_FALSE(QFile::exists(other)); // the current contact is finished
    EXPECT_EQ(progress.lines.mid(progress.lines.size() - 5),
              QStringList({"Deleted Contact. Contact Name: Bob Again", "Processing aborted and stopped.",
                           "Scan on database: Friends is done.", kRule, kDone}));
    EXPECT_EQ(Inbox().size(), 3);
}

TEST_F(Run_Test, SelectedRunsOnlyTheSelectedRowsByTheirKeys)
{
    profile.Add_Contact(QStringLiteral("c.vcf"), QStringLiteral("Bob Again"),
                        {QStringLiteral("bob@example.com")}, {}, QStringLiteral("Friends"));
    profile.Add_Database(QStringLiteral("Friends"), QStringLiteral("Friends"));
    databases.rows = {{QStringLiteral("key0"), QStringLiteral("Contacts"), false},
                      {QStringLiteral("key1"), QStringLiteral("Friends shown"), true}};
    EXPECT_TRUE(Run(true));
    EXPECT_TRUE(progress.lines.contains(QStringLiteral("Scanning Folder: Friends shown")));
    EXPECT_TRUE(progress.lines.contains(QStringLiteral("Scan on database: Friends is done.")));
    EXPECT_FALSE(progress.lines.contains(QStringLiteral("Scanning Folder: Contacts")));
    EXPECT_TRUE(QFile::exists(bob));

    // No row selected: the scan and the disposal run, no database does.
    progress.lines.clear();
    databases.rows[1].Selected = false;
    Save_Setting(Email_What_To_Do, 2);
    EXPECT_TRUE(Run(true));
    EXPECT_EQ(
        progress.lines,
        QStringList({"Logging into Outlook Mailbox", "Scanning Inbox for Invalid Emails...",
                     "Bounced Email Found: Undeliverable: Offer", "Bounced Email Found: Mail delivery failed",
                     "Post Email Action", "Moving/Deleting Email", kRule, kDone}));
    EXPECT_EQ(Inbox().size(), 1);
}

TEST_F(Run_Test, AnErrorShowsTheStepCodeAndEndsWithTheClosingLines)
{
    const std::vector<std::pair<QString, QString>> cases = {
        {QStringLiteral("Logging into Outlook Mailbox"), QStringLiteral("60002")},
        {QStringLiteral("Scanning Inbox for Invalid Emails..."), QStringLiteral("600010")},
        {QStringLiteral("Bounced Email Found: Undeliverable: Offer"), QStringLiteral("600011")},
        {QStringLiteral("Scanning Folder: Contacts"), QStringLiteral("600023")},
        {QStringLiteral("Moving/Deleting Email"), QStringLiteral("600024")},
    };
    Save_Setting(Email_What_To_Do, 2);
    choices.deleteContact = 0;
    for (const auto& [failing, code] : cases) {
        progress.lines.clear();
        profile.messages.shown.clear();
        progress.onLine = [failing = failing](const QString& line) {
            if (line == failing)
                throw std::runtime_error("The window is gone");
        };
        EXPECT_TRUE(Run());
        EXPECT_EQ(profile.messages.shown,
                  QStringList({QStringLiteral("Error: ") + code +
                               QStringLiteral(" on Convert Current: The window is gone")}));
        EXPECT_EQ(progress.lines.mid(progress.lines.size() - 3), QStringList({failing, kRule, kDone}));
        EXPECT_FALSE(Flags().Processing_Active);
    }
}

TEST_F(Run_Test, NoSecondRunStartsInsideTheFirst)
{
    bool innerStarted = true;
    progress.onLine = [&](const QString& line) {
        if (line == QStringLiteral("Scanning Folder: Contacts"))
            innerStarted = Run();
    };
    EXPECT_TRUE(Run());
    EXPECT_FALSE(innerStarted);
    EXPECT_EQ(progress.lines.count(QStringLiteral("Logging into Outlook Mailbox")), 1);
    EXPECT_FALSE(Flags().Run_In_Progress);
    EXPECT_TRUE(Run()); // free again afterwards
}

TEST_F(Run_Test, UnattendedRunPrintsItsLinesAndLogsThem)
{
    App().Auto_Run = true;
    Save_Setting(Log_Enabled, 1);
    Save_Setting(Email_What_To_Do, 2);
    Set_Progress_View(&progress);
    testing::internal::CaptureStdout();
    EXPECT_TRUE(Run_All_Unattended(choices));
    const QString out = QString::fromLocal8Bit(testing::internal::GetCapturedStdout());
    EXPECT_TRUE(progress.lines.isEmpty());
    EXPECT_EQ(progress.shown, 0);
    const QStringList printed = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(printed.size(), 16);
    EXPECT_EQ(printed.front(), "Logging into Outlook Mailbox");
    EXPECT_EQ(printed.back(), kDone);
    EXPECT_FALSE(QFile::exists(bob));
    EXPECT_EQ(Deleted().size(), 2);

    const QList<QByteArray> logged =
        profile.home.Read(profile.home.Data_Folder() + "bouncedemails.log").split('\n');
    ASSERT_EQ(logged.size(), 17); // and the empty text after the last line end
    EXPECT_TRUE(logged[0].endsWith("  Logging into Outlook Mailbox\r"));

    Folders().Contact_Folder_List.clear();
    EXPECT_FALSE(Run_All_Unattended(choices));
    EXPECT_EQ(profile.messages.shown, QStringList({"No database have been setup!"}));
}

TEST_F(Run_Test, StoredChoicesFollowTheSettingsAsTheWindowRestoresThem)
{
    Stored_Contact_Action_Choices stored;
    // Nothing stored: the delete box is the one checked.
    EXPECT_EQ(stored.Contact_Delete(), 1);
    EXPECT_EQ(stored.Set_Field_In_Contact(), 0);
    Save_Setting(CreateANote, 1);
    Save_Setting(bc::Clear_Email_Address, 1);
    EXPECT_EQ(stored.Create_A_Note(), 0); // checking delete clears them
    EXPECT_EQ(stored.Clear_Email_Address(), 0);
    // The main window stores 2 when neither the delete box nor the set-field
    // box is checked: a run made from the settings must then never delete.
    Save_Setting(Contact_Action, 2);
    EXPECT_EQ(stored.Contact_Delete(), 0);
    EXPECT_EQ(stored.Set_Field_In_Contact(), 0);
    EXPECT_EQ(stored.Create_A_Note(), 1);
    EXPECT_EQ(stored.Clear_Email_Address(), 1);

    Save_Setting(Contact_Action, 1);
    Save_Setting(Contact_Field_To_Set, QStringLiteral("JobTitle"));
    Save_Setting(Contact_Value_To_Set, QStringLiteral("Bounced"));
    Save_Setting(ToDo_Status, QStringLiteral("Task"));
    EXPECT_EQ(stored.Contact_Delete(), 0);
    EXPECT_EQ(stored.Set_Field_In_Contact(), 1);
    EXPECT_EQ(stored.Create_A_Note(), 1);
    EXPECT_EQ(stored.Clear_Email_Address(), 1);
    EXPECT_EQ(stored.Field_To_Be_Set(), "JobTitle");
    EXPECT_EQ(stored.Field_Value(), "Bounced");
    EXPECT_EQ(stored.Event_Text(), "Task");

    // An unattended run with them sets the field and clears the address.
    Save_Setting(CreateANote, 0);
    App().Auto_Run = true;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(Run_All_Unattended(stored));
    testing::internal::GetCapturedStdout();
    const auto contact = profile.Contact(bob);
    ASSERT_TRUE(contact);
    EXPECT_EQ(contact->Standard_Field(QStringLiteral("JobTitle")), "Bounced");
    EXPECT_EQ(contact->Email_Address(1), "");
    EXPECT_EQ(profile.Files(QStringLiteral("Tasks")).size(), 2);
}

// A contact the walk could not handle keeps its returned message for a later
// run; a walk that ended in an error keeps them all, and the run says so.
TEST_F(Run_Test, MessagesStayWhenTheirContactsCouldNotBeHandled)
{
    Save_Setting(Email_What_To_Do, 2);
    QFile::setPermissions(bob, QFileDevice::ReadOwner); // read-only: never replaced
    choices.deleteContact = 0;
    choices.note = 1;
    EXPECT_TRUE(Run());
    EXPECT_TRUE(progress.lines.contains(
        QStringLiteral("Skipped Contact. Contact Name: Bob Smith Error: The contact could not be saved: "
                       "The file is read-only.")))
        << progress.lines.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(
        progress.lines.contains(QStringLiteral("Returned Email Kept In Input Folder: Undeliverable: Offer")));
    EXPECT_TRUE(profile.messages.shown.isEmpty());
    EXPECT_EQ(Inbox().size(), 2);
    EXPECT_EQ(Deleted().size(), 1);
    EXPECT_FALSE(State().Run_Failed);

    // The same run whose walk fails at its end.
    QFile::setPermissions(bob, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    progress.lines.clear();
    progress.onLine = [](const QString& line) {
        if (line.startsWith(QLatin1String("Found 1 contacts")))
            throw std::runtime_error("the window is gone");
    };
    EXPECT_TRUE(Run());
    EXPECT_EQ(profile.messages.shown,
              QStringList({"Error on processing Returned emails. Error: the window is gone"}));
    EXPECT_TRUE(progress.lines.contains(kMessagesLeftAfterError));
    EXPECT_FALSE(progress.lines.contains(QStringLiteral("Moving/Deleting Email")));
    EXPECT_EQ(Inbox().size(), 2);
    EXPECT_TRUE(State().Run_Failed);
}

namespace {

class Progress_Log_Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Set_Data_Folder();
        App().Auto_Run = false;
        Set_Progress_View(&view);
    }
    void TearDown() override
    {
        Set_Progress_View(nullptr);
        App().Auto_Run = false;
    }
    QString Log_Path() const { return home.Data_Folder() + QStringLiteral("bouncedemails.log"); }
    QList<QByteArray> Log_Lines() const
    {
        QList<QByteArray> lines = home.Read(Log_Path()).split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

    test::Temp_Home home;
    test::Recorded_Progress view;
};

} // namespace

TEST_F(Progress_Log_Test, LinesGoToTheViewOrStandardOutputAndNoLogUnlessEnabled)
{
    Add_Item_To_List("first");
    Save_Setting(Log_Enabled, 0);
    Add_Item_To_List("second");
    Save_Setting(Log_Enabled, 2);
    Add_Item_To_List("third");
    // An unattended run prints its lines instead of showing them.
    App().Auto_Run = true;
    testing::internal::CaptureStdout();
    Add_Item_To_List("printed");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "printed\n");
    EXPECT_EQ(view.lines, QStringList({"first", "second", "third"}));
    EXPECT_FALSE(QFile::exists(Log_Path()));
}

TEST_F(Progress_Log_Test, EnabledLogAppendsDatedCp1252LinesWithCrLf)
{
    home.Write(QStringLiteral("data/Brindlecast/bouncedemails.log"), "earlier line\r\n");
    Save_Setting(Log_Enabled, 1);
    Add_Item_To_List(QStringLiteral("Bounced Email Found: Caf\u00e9 \u20ac \u4e2d"));
    Add_Item_To_List(QStringLiteral("two\r\nlines"));

    const QList<QByteArray> lines = Log_Lines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "earlier line\r");
    const QRegularExpression stamp(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  "));
    EXPECT_TRUE(stamp.match(QString::fromLatin1(lines[1])).hasMatch()) << lines[1].constData();
    EXPECT_TRUE(lines[1].endsWith(QByteArray("Bounced Email Found: Caf\xe9 \x80 ?\r")));
    // One entry per line, even for a text with a line break.
    EXPECT_TRUE(lines[2].endsWith("two lines\r"));
    EXPECT_EQ(view.lines.size(), 2);
}

TEST_F(Progress_Log_Test, SessionReadsTheSettingOnceAndRestoresTheView)
{
    test::Recorded_Progress runView;
    Save_Setting(Log_Enabled, 1);
    {
        Progress_Session session(&runView);
        EXPECT_EQ(Installed_Progress_View(), &runView);
        Add_Item_To_List("during");
        // Unchecking the box mid-run applies from the next run.
        Save_Setting(Log_Enabled, 0);
        Add_Item_To_List("still logged");
    }
    EXPECT_EQ(Installed_Progress_View(), &view);
    Add_Item_To_List("after");
    EXPECT_EQ(runView.lines, QStringList({"during", "still logged"}));
    EXPECT_EQ(view.lines, QStringList({"after"}));
    const QList<QByteArray> lines = Log_Lines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[1].endsWith("still logged\r"));
}

TEST_F(Progress_Log_Test, EveryLineLetsPendingEventsRun)
{
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    for (const bool unattended : {false, true}) {
        App().Auto_Run = unattended;
        bool ran = false;
        QTimer::singleShot(0, &app, [&ran] { ran = true; });
        testing::internal::CaptureStdout();
        Add_Item_To_List("line");
        testing::internal::GetCapturedStdout();
        EXPECT_TRUE(ran) << "unattended " << unattended;
    }
}

namespace {

class Fake_Manual_List : public Selective_Conversion_View
{
public:
    bool Remove_Row(const QString& key) override { return keys.removeOne(key); }
    void Clear_Selected_Row() override { selected = -1; }
    int Row_Count() const override { return static_cast<int>(keys.size()); }
    void Set_Status(const QString& text) override { status = text; }
    QStringList keys;
    int selected = 0;
    QString status;
};

class Disposal : public ::testing::Test
{
protected:
    void SetUp() override
    {
        first = profile.Add_Message(QStringLiteral("Undeliverable"), QStringLiteral("a@x.org b@x.org"));
        second = profile.Add_Message(QStringLiteral("Undeliverable"), QStringLiteral("c@x.org"));
        profile.Scan_Inbox();
        profile.Add_Mail_Folder(QStringLiteral("Bounced"));
    }

    std::shared_ptr<outlook::Mapi_Folder> Folder(const QString& path)
    {
        return outlook::Session().Outlook_Namespace->GetFolderFromID(outlook::Entry_ID_To_Hex(path.toUtf8()),
                                                                     profile.storeId);
    }

    // The unique names of the messages in a Maildir.
    QStringList Messages_In(const QString& folder) const
    {
        QStringList out;
        for (const QString& file : profile.Files(folder))
            out << file.section(QLatin1Char(':'), 0, 0);
        out.sort();
        return out;
    }

    test::Engine_Profile profile;
    QString first;
    QString second;
};

} // namespace

TEST_F(Disposal, ChoicesUpToOneNoDestinationOrAGoneRowLeaveEverythingSilently)
{
    State().Destination_Folder = Folder(QStringLiteral("Bounced"));
    for (const QString& choice :
         {QStringLiteral("1"), QStringLiteral(""), QStringLiteral("0"), QStringLiteral("x3")})
        Post_Email_Action(0, choice, kRunCallerTag);
    State().Destination_Folder.reset();
    Post_Email_Action(0, QStringLiteral("3"), kRunCallerTag);
    Post_Email_Action(7, QStringLiteral("3"), kRunCallerTag);
    Post_Email_Action(-1, QStringLiteral("2"), kRunCallerTag);
    EXPECT_EQ(Messages_In(QStringLiteral("Inbox")), QStringList({first, second}));
    EXPECT_TRUE(profile.messages.shown.isEmpty());
}

TEST_F(Disposal, DeleteMovesToDeletedItemsOnceAndRepeatsFindNothing)
{
    State().Destination_Folder =
        outlook::Session().Outlook_Namespace->GetDefaultFolder(outlook::olFolderDeletedItems);
    ASSERT_TRUE(State().Destination_Folder);
    // Row 0 has two records (two new addresses): the second call finds it gone.
    Post_Email_Action(0, QStringLiteral("2"), kRunCallerTag);
    Post_Email_Action(0, QStringLiteral("2"), kRunCallerTag);
    EXPECT_EQ(Messages_In(QStringLiteral("Inbox")), QStringList({second}));
    EXPECT_EQ(Messages_In(QStringLiteral("Deleted Items")), QStringList({first}));
    EXPECT_TRUE(profile.messages.shown.isEmpty());
}

TEST_F(Disposal, ManualScanListLosesTheRowsOfDisposedMessages)
{
    Fake_Manual_List list;
    list.keys = QStringList({Message_Row_Key(0), Message_Row_Key(1), Message_Row_Key(2)});
    Set_Selective_Conversion_View(&list);
    State().Destination_Folder = Folder(QStringLiteral("Bounced"));

    Post_Email_Action(1, QStringLiteral("3"), kSelectiveConversionTag);
    EXPECT_EQ(list.keys, QStringList({"-:::-0-:::-", "-:::-2-:::-"}));
    EXPECT_EQ(list.selected, -1);
    EXPECT_EQ(list.status, "2");

    // Already moved: nothing happens to the list either.
    list.selected = 5;
    Post_Email_Action(1, QStringLiteral("3"), kSelectiveConversionTag);
    EXPECT_EQ(list.keys.size(), 2);
    EXPECT_EQ(list.selected, 5);
    // Leaving the message leaves its row too.
    Post_Email_Action(0, QStringLiteral("1"), kSelectiveConversionTag);
    EXPECT_EQ(list.keys.size(), 2);
    EXPECT_TRUE(profile.messages.shown.isEmpty());
}

TEST_F(Disposal, ARowMissingFromTheManualListIsReportedAndTheRestStillDone)
{
    Fake_Manual_List list;
    list.keys = QStringList({Message_Row_Key(1)});
    Set_Selective_Conversion_View(&list);
    State().Destination_Folder = Folder(QStringLiteral("Bounced"));

    Post_Email_Action(0, QStringLiteral("3"), kSelectiveConversionTag);
    EXPECT_EQ(profile.messages.shown,
              QStringList({QStringLiteral("Error on Take Action On Invalid Emails. Element not found")}));
    EXPECT_EQ(Messages_In(QStringLiteral("Bounced")), QStringList({first}));
    EXPECT_EQ(list.selected, -1);
    EXPECT_EQ(list.status, "1");

    // The window closed meanwhile: the message still moves.
    Set_Selective_Conversion_View(nullptr);
    Post_Email_Action(1, QStringLiteral("3"), kSelectiveConversionTag);
    EXPECT_EQ(profile.messages.shown.size(), 2);
    EXPECT_EQ(Messages_In(QStringLiteral("Bounced")), QStringList({first, second}));
}
