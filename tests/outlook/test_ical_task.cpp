// Tasks kept as iCalendar files: the fields the contact actions fill, the link
// to the contact, and what a save keeps and refuses.

#include "outlook/Item_Files.h"
#include "vcard_test_support.h"

#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace bc::outlook;
using bc::test::Contact_Folder;
using bc::test::Crlf;

namespace {

struct Task_Folder
{
    bc::test::Temp_Home Home;
    QString Folder() const { return Home.Path() + QStringLiteral("/Tasks"); }
    Task_Folder() { QDir().mkpath(Folder()); }
    Task_File_Context Context() const { return {Folder(), QStringLiteral("Tasks")}; }
    QStringList Files() const { return QDir(Folder()).entryList(QDir::Files | QDir::Hidden); }
    QString Path(const QString& name) const { return Folder() + QLatin1Char('/') + name; }
    QString Write(const QString& name, const QByteArray& bytes) const
    {
        return Home.Write(QStringLiteral("Tasks/") + name, bytes);
    }
};

// A property line of the file, unfolded.
bool Has_Line(const QByteArray& ics, const QString& pattern)
{
    const QString text = QString::fromUtf8(QByteArray(ics).replace("\r\n ", "").replace("\n ", ""));
    return text.contains(
        QRegularExpression(QStringLiteral("(^|\\n)") + pattern + QStringLiteral("\\r?(\\n|$)")));
}

} // namespace

TEST(IcalTask, ANewTaskIsSavedAsItsUidWithTheFieldsSet)
{
    Task_Folder t;
    auto task = New_Task_File(t.Context());
    ASSERT_TRUE(task);
    EXPECT_EQ(task->MessageClass(), "IPM.Task");
    EXPECT_TRUE(t.Files().isEmpty()); // nothing on disk before Save
    task->Set_Importance(olImportanceHigh);
    task->Set_StartDate(QDate(2024, 3, 5));
    task->Set_Subject("Returned Email");
    // Leading blanks are not written: a reader would drop them.
    task->Set_Body("\t Delivery failed\r\nfor: a@b.example; c@d.example, ü");
    task->Save();

    const QStringList files = t.Files();
    ASSERT_EQ(files.size(), 1);
    const QString uid = files.first().chopped(4);
    EXPECT_TRUE(files.first().endsWith(".ics"));
    EXPECT_EQ(task->EntryID(), QString::fromLatin1(("Tasks/" + files.first()).toUtf8().toHex().toUpper()));
    const QByteArray ics = t.Home.Read(t.Path(files.first()));
    EXPECT_TRUE(ics.startsWith("BEGIN:VCALENDAR\r\n"));
    EXPECT_TRUE(Has_Line(ics, "VERSION:2\\.0"));
    EXPECT_TRUE(Has_Line(ics, "PRODID:-//Brindlecast//.*"));
    EXPECT_TRUE(Has_Line(ics, "BEGIN:VTODO"));
    EXPECT_TRUE(Has_Line(ics, "UID:" + uid));
    EXPECT_TRUE(Has_Line(ics, "DTSTAMP:\\d{8}T\\d{6}Z"));
    EXPECT_TRUE(Has_Line(ics, "PRIORITY:1"));
    EXPECT_TRUE(Has_Line(ics, "DTSTART;VALUE=DATE:20240305"));
    EXPECT_TRUE(Has_Line(ics, "SUMMARY:Returned Email"));
    EXPECT_TRUE(
        Has_Line(ics, "DESCRIPTION:Delivery failed\\\\nfor: a@b\\.example\\\\; c@d\\.example\\\\, ü"));
    EXPECT_FALSE(ics.contains("DUE")); // no due date, reminder or status
    EXPECT_FALSE(ics.contains("VALARM"));
    EXPECT_FALSE(ics.contains("STATUS"));

    auto back = Load_Task_File(t.Path(files.first()), "E");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->EntryID(), "E");
    EXPECT_EQ(back->Subject(), "Returned Email");
    EXPECT_EQ(back->Body(), "Delivery failed\r\nfor: a@b.example; c@d.example, ü");
    EXPECT_EQ(back->Importance(), olImportanceHigh);
    EXPECT_EQ(back->StartDate(), QDate(2024, 3, 5));
    EXPECT_TRUE(back->Linked_Contact_UIDs().isEmpty());
}

TEST(IcalTask, ImportanceMapsOntoPriority)
{
    Task_Folder t;
    const std::pair<int, const char*> levels[] = {{olImportanceHigh, "PRIORITY:1"},
                                                  {olImportanceNormal, "PRIORITY:5"},
                                                  {olImportanceLow, "PRIORITY:9"}};
    for (const auto& [importance, line] : levels) {
        auto task = New_Task_File(t.Context());
        task->Set_Importance(importance);
        task->Save();
        const QString path = t.Path(t.Files().last());
        EXPECT_TRUE(Has_Line(t.Home.Read(path), line));
        EXPECT_EQ(Load_Task_File(path, "")->Importance(), importance);
        QFile::remove(path);
    }
    auto task = New_Task_File(t.Context());
    EXPECT_EQ(task->Importance(), olImportanceNormal); // unset
    EXPECT_THROW(task->Set_Importance(3), Outlook_Error);
    EXPECT_THROW(task->Set_Importance(-1), Outlook_Error);

    // Other programs' priorities: 1-4 high, 5 or none normal, 6-9 low.
    const std::pair<const char*, int> foreign[] = {{"PRIORITY:3", olImportanceHigh},
                                                   {"PRIORITY:0", olImportanceNormal},
                                                   {"PRIORITY:7", olImportanceLow},
                                                   {"X-NONE:1", olImportanceNormal}};
    for (const auto& [line, importance] : foreign) {
        const QString path =
            t.Write("p.ics", Crlf({"BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:x", "BEGIN:VTODO", "UID:p", line,
                                   "END:VTODO", "END:VCALENDAR"}));
        EXPECT_EQ(Load_Task_File(path, "")->Importance(), importance) << line;
    }
}

TEST(IcalTask, LinksPointAtTheContactsUid)
{
    Contact_Folder contacts;
    auto uuid =
        contacts.Make("a.vcf", Crlf({"BEGIN:VCARD", "VERSION:3.0", "UID:4C6F0A0E-1D2B-4B5E-9A37-0F9E2F5A1C11",
                                     "FN:Jane Doe", "END:VCARD"}));
    auto odd = contacts.Make("b.vcf", Crlf({"BEGIN:VCARD", "VERSION:3.0", "UID:odd uid;with,\"specials\"%",
                                            "EMAIL:x@y.example", "END:VCARD"}));
    ASSERT_TRUE(uuid && odd);
    Task_Folder t;
    auto task = New_Task_File(t.Context());
    task->Add_Link(*uuid);
    task->Add_Link(*odd);
    task->Add_Link(*uuid); // once only
    EXPECT_EQ(task->Linked_Contact_UIDs(), (QStringList{uuid->UID(), odd->UID()}));
    task->Save();
    const QByteArray ics = t.Home.Read(t.Path(t.Files().first()));
    EXPECT_TRUE(ics.contains("ALTREP=\"urn:uuid:4c6f0a0e-1d2b-4b5e-9a37-0f9e2f5a1c11\""));
    EXPECT_TRUE(Has_Line(ics, "CONTACT;.*:Jane Doe"));
    EXPECT_TRUE(Has_Line(ics, "CONTACT;.*:x@y\\.example")); // no name: the address names it
    auto back = Load_Task_File(t.Path(t.Files().first()), "");
    EXPECT_EQ(back->Linked_Contact_UIDs(), (QStringList{uuid->UID(), odd->UID()}));

    // A link written by another program as a bare urn:uuid is understood too.
    const QString path = t.Write("x.ics", Crlf({"BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:x", "BEGIN:VTODO",
                                                "UID:x", "CONTACT;ALTREP=\"urn:uuid:1234\":Someone",
                                                "CONTACT:Just a name", "END:VTODO", "END:VCALENDAR"}));
    EXPECT_EQ(Load_Task_File(path, "")->Linked_Contact_UIDs(), QStringList{"1234"});
}

TEST(IcalTask, AnExistingTaskKeepsWhatTheProgramDoesNotKnow)
{
    Task_Folder t;
    const QString path =
        t.Write("todo.ics", "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//todoman//EN\nBEGIN:VTODO\nUID:todo-1\n"
                            "SUMMARY:Old\nX-TODOMAN-FLAG:kept\nCATEGORIES:home,errands\nRRULE:FREQ=WEEKLY\n"
                            "DUE;VALUE=DATE:20240401\nBEGIN:VALARM\nACTION:DISPLAY\nDESCRIPTION:ring\n"
                            "TRIGGER:-PT15M\nEND:VALARM\nEND:VTODO\nEND:VCALENDAR\n");
    // libical writes the file anew: the same properties, one category per line.
    auto task = Load_Task_File(path, "E1");
    ASSERT_TRUE(task);
    EXPECT_EQ(task->Subject(), "Old");
    EXPECT_EQ(task->StartDate(), QDate());
    task->Set_Subject("New");
    task->Save();
    const QByteArray ics = t.Home.Read(path);
    for (const char* line :
         {"SUMMARY:New", "X-TODOMAN-FLAG:kept", "CATEGORIES:home", "CATEGORIES:errands", "RRULE:FREQ=WEEKLY",
          "DUE;VALUE=DATE:20240401", "TRIGGER:-PT15M", "UID:todo-1", "PRODID:-//todoman//EN"})
        EXPECT_TRUE(Has_Line(ics, QRegularExpression::escape(line))) << line;
    EXPECT_EQ(t.Files(), QStringList{"todo.ics"});
}

TEST(IcalTask, UnusableFilesGiveNull)
{
    Task_Folder t;
    const std::pair<const char*, QByteArray> bad[] = {
        {"empty.ics", QByteArray()},
        {"event.ics",
         Crlf({"BEGIN:VCALENDAR", "VERSION:2.0", "BEGIN:VEVENT", "UID:e", "END:VEVENT", "END:VCALENDAR"})},
        {"text.ics", "no calendar here\n"},
        {"binary.ics", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"vcard.ics", Crlf({"BEGIN:VCARD", "FN:x", "END:VCARD"})},
    };
    for (const auto& [name, bytes] : bad) {
        const QString path = t.Write(QString::fromLatin1(name), bytes);
        EXPECT_EQ(Load_Task_File(path, ""), nullptr) << name;
        EXPECT_EQ(t.Home.Read(path), bytes) << name;
    }
    EXPECT_EQ(Load_Task_File(t.Path("missing.ics"), ""), nullptr);

    // A bare VTODO is a usable task; its save adds the calendar around it.
    const QString bare = t.Write("bare.ics", Crlf({"BEGIN:VTODO", "UID:bare", "SUMMARY:Bare", "END:VTODO"}));
    auto task = Load_Task_File(bare, "");
    ASSERT_TRUE(task);
    EXPECT_EQ(task->Subject(), "Bare");
    task->Save();
    EXPECT_TRUE(t.Home.Read(bare).startsWith("BEGIN:VCALENDAR\r\n"));
}

TEST(IcalTask, SaveNeverOverwritesAnotherProgramsWork)
{
    Task_Folder t;
    const QByteArray original = Crlf({"BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:x", "BEGIN:VTODO", "UID:s",
                                      "SUMMARY:Mine", "END:VTODO", "END:VCALENDAR"});
    const QString path = t.Write("s.ics", original);
    auto task = Load_Task_File(path, "");
    const QByteArray theirs = QByteArray(original).replace("Mine", "Theirs");
    t.Write("s.ics", theirs);
    task->Set_Subject("Changed");
    EXPECT_THROW(task->Save(), Outlook_Error);
    EXPECT_EQ(t.Home.Read(path), theirs);
    QFile::remove(path);
    EXPECT_THROW(task->Save(), Outlook_Error);
    EXPECT_FALSE(QFile::exists(path));

    // Lines libical cannot read would vanish on a save: the file stays as it is.
    const QByteArray damaged =
        Crlf({"BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:x", "BEGIN:VTODO", "UID:d", "SUMMARY:Readable",
              "FOO BAR:not a property", "END:VTODO", "END:VCALENDAR"});
    const QString damagedPath = t.Write("d.ics", damaged);
    auto partly = Load_Task_File(damagedPath, "");
    ASSERT_TRUE(partly);
    EXPECT_EQ(partly->Subject(), "Readable");
    partly->Set_Body("x");
    EXPECT_THROW(partly->Save(), Outlook_Error);
    EXPECT_EQ(t.Home.Read(damagedPath), damaged);

    // A new task whose folder went away fails instead of writing elsewhere.
    auto fresh = New_Task_File({t.Home.Path() + "/NoSuchFolder", "NoSuchFolder"});
    EXPECT_THROW(fresh->Save(), Outlook_Error);
    EXPECT_FALSE(QDir(t.Home.Path() + "/NoSuchFolder").exists());
}
