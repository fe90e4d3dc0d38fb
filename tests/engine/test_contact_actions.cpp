// Matching the contacts of a real vCard folder against the bounced list and
// the contact actions.

#include "Engine_Test_Profile.h"
#include "config/Registry_Routines.h"
#include "engine/Contact_Actions.h"

#include <QDate>
#include <QDirIterator>
#include <QSet>

#include <gtest/gtest.h>

using namespace bc;
using namespace bc::engine;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

class Contact_Actions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Set_Progress_View(&progress);
        database = profile.Add_Database(QStringLiteral("Business"));
    }

    // Two returned messages: the first names bob and carol, the second dave.
    void Two_Bounces()
    {
        profile.Add_Message(
            QStringLiteral("Undeliverable: Offer"),
            QStringLiteral("Delivery to <bob@example.com> failed.\r\nAlso carol@example.org."));
        profile.Add_Message(QStringLiteral("Lunch"), QStringLiteral("ping erin@example.com"));
        profile.Add_Message(QStringLiteral("Mail delivery failed"),
                            QStringLiteral("dave@example.net: unknown"));
        profile.Scan_Inbox();
    }

    // Contacts whose addresses the bounces name.
    QString Add_Bob()
    {
        return profile.Add_Contact(QStringLiteral("a.vcf"), QStringLiteral("Bob Smith"),
                                   {QStringLiteral("bob@example.com")});
    }
    QString Add_Dave()
    {
        return profile.Add_Contact(QStringLiteral("b.vcf"), QStringLiteral("Dave Lee"),
                                   {QStringLiteral("dave@example.net")});
    }

    QStringList Tasks() const { return profile.Files(QStringLiteral("Tasks")); }

    std::shared_ptr<outlook::Task_Item> Only_Task() const
    {
        const QStringList files = Tasks();
        if (files.size() != 1)
            return nullptr;
        return outlook::Load_Task_File(profile.Folder(QStringLiteral("Tasks/")) + files.front(), QString());
    }

    test::Engine_Profile profile;
    test::Recorded_Progress progress;
    test::Fixed_Choices choices;
    qint32 database = 0;
};

} // namespace

TEST_F(Contact_Actions, NoMatchAndNonContactsAreQuiet)
{
    Two_Bounces();
    profile.Add_Contact(QStringLiteral("a.vcf"), QStringLiteral("Erin Ng"),
                        {QStringLiteral("erin@example.com")});
    profile.Add_Contact(QStringLiteral("b.vcf"), QStringLiteral("No Address"), {});
    test::Engine_Profile::Write_File(profile.Folder(QStringLiteral("Contacts/list.vcf")),
                                     "BEGIN:VCARD\r\nVERSION:3.0\r\nKIND:group\r\nFN:Team\r\n"
                                     "EMAIL:bob@example.com\r\nEND:VCARD\r\n");
    test::Engine_Profile::Write_File(profile.Folder(QStringLiteral("Contacts/broken.vcf")),
                                     "\x01\x02 not a card");
    choices.deleteContact = 1;

    EXPECT_TRUE(Process_Contact_Folder(database, choices));
    EXPECT_EQ(progress.lines,
              QStringList({"Opening the Outlook Contact Folder.", "No Matching Contacts were found.",
                           "Scan on database: Business is done."}));
    EXPECT_TRUE(profile.messages.shown.isEmpty());
    EXPECT_EQ(profile.Files(QStringLiteral("Contacts")).size(), 4);
}

TEST_F(Contact_Actions, SlotRuleAndClearingOnlyTheMatchedAddress)
{
    Two_Bounces();
    // Matches on slot 2; the line still shows the first address.
    const QString second =
        profile.Add_Contact(QStringLiteral("a.vcf"), QStringLiteral("Bob Smith"),
                            {QStringLiteral("bob@work.example"), QStringLiteral("  Bob@Example.com "),
                             QStringLiteral("b3@x.example")});
    // Slots 1 and 3 both bounced: only the first is found and cleared.
    const QString both =
        profile.Add_Contact(QStringLiteral("b.vcf"), QStringLiteral("Carol Jones"),
                            {QStringLiteral("CAROL@EXAMPLE.ORG"), QStringLiteral("carol@home.example"),
                             QStringLiteral("dave@example.net")});
    // A part of a bounced address is no match.
    profile.Add_Contact(QStringLiteral("c.vcf"), QStringLiteral("Ob Smith"),
                        {QStringLiteral("ob@example.com")});
    choices.deleteContact = 2; // grayed is not checked
    choices.clearAddress = 1;

    EXPECT_TRUE(Process_Contact_Folder(database, choices));
    EXPECT_TRUE(progress.lines.contains(
        "Found Matching Contact. Contact Name: Bob Smith Email Address: bob@work.example"));
    EXPECT_TRUE(progress.lines.contains("Found 2 contacts with returned email"));

    const auto bob = profile.Contact(second);
    ASSERT_TRUE(bob);
    EXPECT_EQ(bob->Email_Address(1), "bob@work.example");
    EXPECT_EQ(bob->Email_Address(2), "");
    EXPECT_EQ(bob->Email_Address(3), "b3@x.example");
    const auto carol = profile.Contact(both);
    ASSERT_TRUE(carol);
    EXPECT_EQ(carol->Email_Address(1), "");
    EXPECT_EQ(carol->Email_Address(2), "carol@home.example");
    EXPECT_EQ(carol->Email_Address(3), "dave@example.net");
}

TEST_F(Contact_Actions, AddressesWrittenInOtherFormsAreFound)
{
    Two_Bounces();
    const auto write = [&](const char* name, const QByteArray& bytes) {
        test::Engine_Profile::Write_File(profile.Folder(QStringLiteral("Contacts/") + QLatin1String(name)),
                                         bytes);
    };
    write("a.vcf",
          "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Bob Folded\r\nEMAIL:bob@exa\r\n mple.com\r\nEND:VCARD\r\n");
    write("b.vcf", "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Carol Printable\r\n"
                   "EMAIL;ENCODING=QUOTED-PRINTABLE:carol=40example.org\r\nEND:VCARD\r\n");
    const QString utf16 = QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Dave Wide\r\n"
                                         "EMAIL:dave@example.net\r\nEND:VCARD\r\n");
    write("c.vcf", QByteArray("\xFF\xFE", 2) +
                       QByteArray(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2));
    write("d.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Erin Plain\r\nEMAIL:erin@example.com\r\nEND:VCARD\r\n");

    EXPECT_TRUE(Process_Contact_Folder(database, choices));
    EXPECT_EQ(
        progress.lines,
        QStringList({"Opening the Outlook Contact Folder.",
                     "Found Matching Contact. Contact Name: Dave Wide Email Address: dave@example.net",
                     "Found Matching Contact. Contact Name: Carol Printable Email Address: carol@example.org",
                     "Found Matching Contact. Contact Name: Bob Folded Email Address: bob@example.com",
                     "Found 3 contacts with returned email", "Scan on database: Business is done."}));
}

TEST_F(Contact_Actions, DeleteExcludesEveryOtherAction)
{
    Two_Bounces();
    const QString bob = Add_Bob();
    const QString erin = profile.Add_Contact(QStringLiteral("b.vcf"), QStringLiteral("Erin Ng"),
                                             {QStringLiteral("erin@example.com")});
    choices = {};
    choices.deleteContact = 1;
    choices.note = choices.clearAddress = choices.setField = 1;
    choices.field = QStringLiteral("JobTitle");
    choices.value = QStringLiteral("Bounced");
    choices.event = QStringLiteral("Task");

    EXPECT_TRUE(Process_Contact_Folder(database, choices));
    EXPECT_EQ(progress.lines,
              QStringList({"Opening the Outlook Contact Folder.",
                           "Found Matching Contact. Contact Name: Bob Smith Email Address: bob@example.com",
                           "Deleted Contact. Contact Name: Bob Smith", "Found 1 contacts with returned email",
                           "Scan on database: Business is done."}));
    EXPECT_FALSE(QFile::exists(bob));
    EXPECT_TRUE(QFile::exists(erin));
    EXPECT_TRUE(Tasks().isEmpty());
}

TEST_F(Contact_Actions, NoteAppendsTheReturnedMessageAndTaskTakesItsBody)
{
    Two_Bounces();
    const QString bob =
        profile.Add_Contact(QStringLiteral("a.vcf"), QStringLiteral("Bob Smith"),
                            {QStringLiteral("bob@example.com")}, QStringLiteral("Met at the fair"));
    const QString dave = Add_Dave();
    choices.note = 1;
    choices.event = QStringLiteral("Task");
    Save_Setting(ToDo_Priority, QStringLiteral("High"));
    Save_Setting(ToDo_Regarding, QStringLiteral("Returned Email"));
    // The bodies are read once by the scan: the messages may be gone by now.
    for (const QString& file : profile.Files(QStringLiteral("Inbox")))
        QFile::remove(profile.Folder(QStringLiteral("Inbox/cur/")) + file);

    EXPECT_TRUE(Process_Contact_Folder(database, choices));
    EXPECT_TRUE(profile.messages.shown.isEmpty()) << profile.messages.shown.join('|').toStdString();
    const QString bobBody = profile.Contact(bob)->Body();
    EXPECT_EQ(bobBody,
              QStringLiteral("Met at the fair") + kCrLf + kNoteSeparator + kCrLf + kCrLf +
                  QStringLiteral("Delivery to <bob@example.com> failed.\r\nAlso carol@example.org."));
    // An empty body starts with the line break.
    EXPECT_EQ(profile.Contact(dave)->Body(),
              kCrLf + kNoteSeparator + kCrLf + kCrLf + QStringLiteral("dave@example.net: unknown"));

    const QStringList files = Tasks();
    ASSERT_EQ(files.size(), 2);
    QStringList bodies;
    QStringList links;
    for (const QString& file : files) {
        const auto task = outlook::Load_Task_File(profile.Folder(QStringLiteral("Tasks/")) + file, QString());
        ASSERT_TRUE(task);
        EXPECT_EQ(task->Subject(), "Returned Email");
        EXPECT_EQ(task->Importance(), outlook::olImportanceHigh);
        EXPECT_EQ(task->StartDate(), QDate::currentDate());
        bodies << task->Body();
        links << task->Linked_Contact_UIDs();
    }
    bodies.sort();
    links.sort();
    EXPECT_EQ(bodies, QStringList({"Delivery to <bob@example.com> failed.\r\nAlso carol@example.org.",
                                   "dave@example.net: unknown"}));
    EXPECT_EQ(links, QStringList({"a.vcf-uid", "b.vcf-uid"}));
}

// Without a note the task's body is empty; only the exact texts count.
TEST_F(Contact_Actions, TaskPriorityTextsMapOntoImportance)
{
    Two_Bounces();
    Add_Bob();
    choices.event = QStringLiteral("task");
    EXPECT_TRUE(Process_Contact_Folder(database, choices));
    EXPECT_TRUE(Tasks().isEmpty());

    choices.event = QStringLiteral("Task");
    const std::pair<const char*, int> priorities[] = {{"high", outlook::olImportanceNormal},
                                                      {"Low", outlook::olImportanceLow},
                                                      {"Medium", outlook::olImportanceNormal}};
    for (const auto& [text, importance] : priorities) {
        SCOPED_TRACE(text);
        for (const QString& file : Tasks())
            QFile::remove(profile.Folder(QStringLiteral("Tasks/")) + file);
        Save_Setting(ToDo_Priority, QString::fromLatin1(text));
        EXPECT_TRUE(Process_Contact_Folder(database, choices));
        const auto task = Only_Task();
        ASSERT_TRUE(task);
        EXPECT_EQ(task->Importance(), importance);
        EXPECT_EQ(task->Body(), "");
        EXPECT_EQ(task->Linked_Contact_UIDs(), QStringList({"a.vcf-uid"}));
    }
}

TEST_F(Contact_Actions, SetFieldWritesStandardFieldsAndUserProperties)
{
    Two_Bounces();
    const QString bob = Add_Bob();
    const QString dave = Add_Dave();
    choices.setField = 1;
    choices.field = QStringLiteral("JobTitle");
    choices.value = QStringLiteral("Bounced");
    // The choices are read when each contact is handled. The walk goes from
    // the last contact to the first: Dave gets the standard field, then a
    // user-defined field is chosen for Bob.
    progress.onLine = [this](const QString& line) {
        if (line.contains(QStringLiteral("Contact Name: Bob Smith")))
            choices.field = QStringLiteral("Bounce Status");
    };

    EXPECT_TRUE(Process_Contact_Folder(database, choices));
    const auto d = profile.Contact(dave);
    const auto b = profile.Contact(bob);
    ASSERT_TRUE(d && b);
    EXPECT_EQ(d->Standard_Field(QStringLiteral("JobTitle")), "Bounced");
    ASSERT_TRUE(b->UserProperties().Find(QStringLiteral("Bounce Status")));
    EXPECT_EQ(b->UserProperties().Find(QStringLiteral("Bounce Status"))->Value(), "Bounced");
    EXPECT_EQ(b->Standard_Field(QStringLiteral("JobTitle")), "");
}

TEST_F(Contact_Actions, NoneFieldOrUncheckedBoxWritesNothing)
{
    Two_Bounces();
    const QString bob = Add_Bob();
    const QByteArray before = profile.home.Read(bob);
    choices.setField = 1;
    choices.field = QStringLiteral("<None>");
    EXPECT_TRUE(Process_Contact_Folder(database, choices));
    choices.setField = 0;
    choices.field = QStringLiteral("JobTitle");
    choices.value = QStringLiteral("Bounced");
    EXPECT_TRUE(Process_Contact_Folder(database, choices));
    EXPECT_EQ(profile.home.Read(bob), before);
}

TEST_F(Contact_Actions, CloseDuringTheWalkStopsAfterTheCurrentContact)
{
    Two_Bounces();
    const QString bob = Add_Bob();
    const QString dave = Add_Dave();
    choices.clearAddress = 1;
    bool activeWhilePressed = false;
    progress.onLine = [&](const QString& line) {
        if (line.startsWith(QStringLiteral("Found Matching Contact"))) {
            activeWhilePressed = Flags().Processing_Active;
            Flags().Abort_Requested = true;
        }
    };
    // An abort asked for before the walk is cleared by it.
    Flags().Abort_Requested = true;

    EXPECT_FALSE(Process_Contact_Folder(database, choices));
    EXPECT_TRUE(activeWhilePressed);
    EXPECT_EQ(progress.lines,
              QStringList({"Opening the Outlook Contact Folder.",
                           "Found Matching Contact. Contact Name: Dave Lee Email Address: dave@example.net",
                           "Processing aborted and stopped.", "Scan on database: Business is done."}));
    // The actions on the current contact are complete; the next is untouched.
    EXPECT_EQ(profile.Contact(dave)->Email_Address(1), "");
    EXPECT_EQ(profile.Contact(bob)->Email_Address(1), "bob@example.com");
    EXPECT_FALSE(Flags().Abort_Requested);
    EXPECT_FALSE(Flags().Processing_Active);
}

TEST_F(Contact_Actions, MissingFolderShowsItsMessageWithoutTheClosingLine)
{
    Two_Bounces();
    Folders().Contact_Folder_List[database].Entry_ID = outlook::Entry_ID_To_Hex("No Such Folder");
    EXPECT_TRUE(Process_Contact_Folder(database, choices));
    EXPECT_TRUE(Process_Contact_Folder(42, choices));
    EXPECT_EQ(profile.messages.shown,
              QStringList({"Could not load contact folder.", "Could not load contact folder."}));
    EXPECT_EQ(progress.lines,
              QStringList({"Opening the Outlook Contact Folder.", "Opening the Outlook Contact Folder."}));
    EXPECT_FALSE(Flags().Processing_Active);
}

// Both with the quick look at the files and without it (a list that holds
// an address of another kind turns it off).
TEST_F(Contact_Actions, UpperCaseNeverMakesTwoMailboxesOne)
{
    profile.Add_Message(QStringLiteral("Undeliverable"),
                        QStringLiteral("strasse@example.de yildiz@example.com kelvin@example.com"));
    for (const bool screened : {true, false}) {
        SCOPED_TRACE(screened ? "screened" : "read in full");
        profile.Scan_Inbox();
        if (!screened)
            State().Bounced_Emails.Add(QStringLiteral("JÖRG@EXAMPLE.DE"), 0);
        const QString same = profile.Add_Contact(QStringLiteral("a.vcf"), QStringLiteral("Same Person"),
                                                 {QStringLiteral("Strasse@Example.DE")});
        const QStringList others = {
            profile.Add_Contact(QStringLiteral("b.vcf"), QStringLiteral("Sharp S"),
                                {QStringLiteral("straße@example.de")}),
            profile.Add_Contact(QStringLiteral("c.vcf"), QStringLiteral("Dotless I"),
                                {QStringLiteral("yıldız@example.com")}),
            profile.Add_Contact(QStringLiteral("d.vcf"), QStringLiteral("Kelvin Sign"),
                                {QStringLiteral("\u212Aelvin@example.com")}),
            profile.Add_Contact(QStringLiteral("e.vcf"), QStringLiteral("Long S"),
                                {QStringLiteral("ſtrasse@example.de")}),
        };
        // Extraction never gives an address of another kind, but the list may
        // hold one: the walk then reads every contact in full and finds it.
        const QString jorg = profile.Add_Contact(QStringLiteral("f.vcf"), QStringLiteral("Jörg Berg"),
                                                 {QStringLiteral("jörg@example.de")});
        choices.deleteContact = 1;

        EXPECT_TRUE(Process_Contact_Folder(database, choices));
        EXPECT_FALSE(QFile::exists(same));
        EXPECT_EQ(QFile::exists(jorg), screened);
        for (const QString& path : others)
            EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
    }
}

// Vanished, changed by another program, read-only, or a deleted-contacts
// folder that leads out of the store: the contact is skipped with a line
// that names it, its message is kept, and the walk goes on.
TEST_F(Contact_Actions, AContactThatCannotBeHandledIsSkippedAndTheWalkGoesOn)
{
    Two_Bounces();
    struct Case
    {
        const char* name;
        std::function<void(const QString& path)> before; // run when the contact is found
        const char* error;
        bool remove;
    };
    const QString outside = profile.home.Path() + QStringLiteral("/outside");
    const Case cases[] = {
        {"vanished", [](const QString& path) { QFile::remove(path); }, "The contact no longer exists.",
         false},
        {"changed",
         [](const QString& path) {
             test::Engine_Profile::Write_File(path, "BEGIN:VCARD\r\nVERSION:3.0\r\n"
                                                    "FN:Synced\r\nEND:VCARD\r\n");
         },
         "The contact was changed by another program since it was read; it was not saved.", false},
        {"read-only", [](const QString& path) { QFile::setPermissions(path, QFileDevice::ReadOwner); },
         "The contact could not be saved: The file is read-only.", false},
        {"deleted contacts out of the store",
         [&](const QString&) {
             QDir().mkpath(outside);
             QDir(profile.Folder(QStringLiteral("Deleted Items/Contacts"))).removeRecursively();
             QFile::link(outside, profile.Folder(QStringLiteral("Deleted Items/Contacts")));
         },
         nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString bob = Add_Bob();
        const QString dave = Add_Dave();
        choices = {};
        choices.note = 1;
        choices.deleteContact = c.remove ? 1 : 0;
        progress.lines.clear();
        progress.onLine = [&](const QString& line) {
            if (line.contains(QStringLiteral("Found Matching Contact. Contact Name: Bob Smith")))
                c.before(bob);
        };
        State().Kept_Messages.clear();

        EXPECT_TRUE(Process_Contact_Folder(database, choices));
        const QString skipped = progress.lines.value(progress.lines.size() - 3);
        EXPECT_TRUE(skipped.startsWith(QStringLiteral("Skipped Contact. Contact Name: Bob Smith Error: ")))
            << skipped.toStdString();
        if (c.error) {
            EXPECT_TRUE(skipped.endsWith(QLatin1String(c.error))) << skipped.toStdString();
        }
        EXPECT_TRUE(profile.messages.shown.isEmpty());
        EXPECT_EQ(State().Kept_Messages, QSet<qint32>({0}));
        // Dave, handled before Bob in the walk from the last to the first.
        EXPECT_EQ(QFile::exists(dave), !c.remove);
        EXPECT_TRUE(QDir(outside).isEmpty());
        QFile::setPermissions(bob, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QFile::remove(profile.Folder(QStringLiteral("Deleted Items/Contacts")));
    }
}

// The task points at a UID the contact carries once the walk is done, and
// an empty UID line stops nothing.
TEST_F(Contact_Actions, ContactsWithoutAUsableUidGetOneWithTheirTask)
{
    Two_Bounces();
    choices.event = QStringLiteral("Task");
    for (const QByteArray& uidLine : {QByteArray(), QByteArray("UID:\r\n"), QByteArray("UID:  \r\n")}) {
        SCOPED_TRACE(uidLine.toStdString());
        const QString path = profile.Folder(QStringLiteral("Contacts/a.vcf"));
        test::Engine_Profile::Write_File(path, "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Bob Smith\r\n" + uidLine +
                                                   "EMAIL:bob@example.com\r\nEND:VCARD\r\n");
        for (const QString& file : Tasks())
            QFile::remove(profile.Folder(QStringLiteral("Tasks/")) + file);

        EXPECT_TRUE(Process_Contact_Folder(database, choices));
        EXPECT_TRUE(profile.messages.shown.isEmpty()) << profile.messages.shown.join('|').toStdString();
        const auto task = Only_Task();
        ASSERT_TRUE(task);
        const QString uid = profile.Contact(path)->UID();
        EXPECT_EQ(uid.size(), 36);
        EXPECT_EQ(task->Linked_Contact_UIDs(), QStringList({uid}));
        EXPECT_EQ(profile.home.Read(path).count("UID"), 1);
    }
}

TEST_F(Contact_Actions, NotesAndTasksDropCharactersAFileCannotCarry)
{
    static const char raw[] = "bob@example.com\0 is \x01gone\x1B.\tEnd";
    profile.Add_Message(QStringLiteral("Undeliverable"), QString::fromUtf8(raw, sizeof raw - 1));
    profile.Scan_Inbox();
    const QString bob = Add_Bob();
    choices.note = 1;
    choices.event = QStringLiteral("Task");

    EXPECT_TRUE(Process_Contact_Folder(database, choices));
    EXPECT_TRUE(profile.messages.shown.isEmpty()) << profile.messages.shown.join('|').toStdString();
    const QString text = QStringLiteral("bob@example.com is gone.\tEnd");
    EXPECT_EQ(profile.Contact(bob)->Body(), kCrLf + kNoteSeparator + kCrLf + kCrLf + text);
    const auto task = Only_Task();
    ASSERT_TRUE(task);
    EXPECT_EQ(task->Body(), text);
}

TEST_F(Contact_Actions, LargeFolderIsWalkedFromTheLastContactToTheFirst)
{
    Two_Bounces();
    // Matches spread over one listing, with files that are no contacts among
    // them.
    const QList<int> matching = {0, 1, 343, 344, 345, 599, 600, 855, 856, 1199};
    QStringList expected;
    QStringList paths;
    for (int i = 0; i < 1200; ++i) {
        const QString file = QStringLiteral("c%1.vcf").arg(i, 4, 10, QLatin1Char('0'));
        if (i % 97 == 5) {
            test::Engine_Profile::Write_File(profile.Folder(QStringLiteral("Contacts/")) + file, "garbage");
            continue;
        }
        const bool match = matching.contains(i);
        const QString name = QStringLiteral("Person %1").arg(i);
        const QString first = QStringLiteral("p%1@example.com").arg(i);
        paths << profile.Add_Contact(
            file, name, {first, match ? QStringLiteral("DAVE@example.net") : QStringLiteral("x@y.example")});
        if (match)
            expected.prepend(QStringLiteral("Found Matching Contact. Contact Name: ") + name +
                             QStringLiteral(" Email Address: ") + first);
    }
    choices.clearAddress = 1;

    EXPECT_TRUE(Process_Contact_Folder(database, choices));
    QStringList found;
    for (const QString& line : progress.lines)
        if (line.startsWith(QStringLiteral("Found Matching Contact")))
            found << line;
    EXPECT_EQ(found, expected);
    EXPECT_TRUE(progress.lines.contains(QStringLiteral("Found 10 contacts with returned email")));
    int cleared = 0;
    for (const QString& path : paths)
        cleared += profile.Contact(path)->Email_Address(2).isEmpty() ? 1 : 0;
    EXPECT_EQ(cleared, matching.size());
}
