// Contacts kept as vCard files: reading, slot-stable e-mail addresses, saving
// without disturbing what the program did not change, recoverable deletes, and
// user-defined fields with exact names and values through save and reload.

#include "outlook/Item_Files.h"
#include "vcard_test_support.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <iterator>

using namespace bc::outlook;
using bc::test::Contact_Folder;
using bc::test::Crlf;

namespace {

const QByteArray kCard = Crlf({"BEGIN:VCARD", "VERSION:3.0", "UID:u", "FN:User Props", "END:VCARD"});

const QByteArray kJane = Crlf({"BEGIN:VCARD", "VERSION:3.0", "UID:4c6f0a0e-1d2b-4b5e-9a37-0f9e2f5a1c11",
                               "FN:Jane Doe", "N:Doe;Jane;;;", "EMAIL;TYPE=INTERNET,WORK:jane@work.example",
                               "EMAIL;TYPE=INTERNET,HOME:jane@home.example", "item1.EMAIL:jd@old.example",
                               "item1.X-ABLabel:old", "NOTE:first line\\nsecond\\, with comma", "END:VCARD"});

} // namespace

TEST(VcardContactRead, GivesAddressesNameNoteAndIdentityInEveryVersion)
{
    Contact_Folder f;
    auto c = f.Make("jane.vcf", kJane);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->Email_Address(1), "jane@work.example");
    EXPECT_EQ(c->Email_Address(2), "jane@home.example");
    EXPECT_EQ(c->Email_Address(3), "jd@old.example"); // a grouped EMAIL counts in file order
    EXPECT_EQ(c->FullName(), "Jane Doe");
    EXPECT_EQ(c->Body(), "first line\r\nsecond, with comma");
    EXPECT_EQ(c->UID(), "4c6f0a0e-1d2b-4b5e-9a37-0f9e2f5a1c11");
    EXPECT_EQ(c->MessageClass(), "IPM.Contact");
    EXPECT_EQ(c->EntryID(), "ENTRY-jane.vcf");
    EXPECT_THROW(c->Email_Address(0), Outlook_Error);
    EXPECT_THROW(c->Email_Address(4), Outlook_Error);

    // Version 4.0 with LF lines and no FN: the name is made from N.
    c = f.Make("v4.vcf", "BEGIN:VCARD\nVERSION:4.0\nN:Roe;Rick;J.;Dr.;\nEMAIL;PREF=1:rick@example.org\n"
                         "END:VCARD\n");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->FullName(), "Dr. Rick J. Roe");
    EXPECT_EQ(c->Email_Address(1), "rick@example.org");
    EXPECT_EQ(c->Email_Address(2), "");
}

TEST(VcardContactRead, ListsBrokenAndForeignFilesGiveNull)
{
    Contact_Folder f;
    const std::pair<const char*, QByteArray> bad[] = {
        {"group40.vcf",
         Crlf({"BEGIN:VCARD", "VERSION:4.0", "KIND:group", "FN:Team", "MEMBER:urn:uuid:1", "END:VCARD"})},
        {"apple.vcf",
         Crlf({"BEGIN:VCARD", "VERSION:3.0", "FN:Team", "X-ADDRESSBOOKSERVER-KIND:group", "END:VCARD"})},
        {"evolution.vcf",
         Crlf({"BEGIN:VCARD", "VERSION:3.0", "FN:Team", "X-EVOLUTION-LIST:TRUE", "END:VCARD"})},
        {"empty.vcf", QByteArray()},
        {"blank.vcf", "\r\n  \r\n"},
        {"binary.vcf", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"nul.vcf", QByteArray("BEGIN:VCARD\r\nFN:A\0B\r\nEND:VCARD\r\n", 30)},
        {"noend.vcf", Crlf({"BEGIN:VCARD", "VERSION:3.0", "FN:Cut Off"})},
        {"nocolon.vcf", Crlf({"BEGIN:VCARD", "VERSION:3.0", "FN Jane", "END:VCARD"})},
        {"badname.vcf", Crlf({"BEGIN:VCARD", "VERSION:3.0", "F N:Jane", "END:VCARD"})},
        {"two.vcf", Crlf({"BEGIN:VCARD", "FN:A", "END:VCARD", "BEGIN:VCARD", "FN:B", "END:VCARD"})},
        {"nested.vcf",
         Crlf({"BEGIN:VCARD", "FN:A", "AGENT:", "BEGIN:VCARD", "FN:B", "END:VCARD", "END:VCARD"})},
        {"trailing.vcf", Crlf({"BEGIN:VCARD", "FN:A", "END:VCARD", "garbage"})},
        {"calendar.vcf", Crlf({"BEGIN:VCALENDAR", "VERSION:2.0", "END:VCALENDAR"})},
        {"text.vcf", "just some text\n"},
    };
    for (const auto& [name, bytes] : bad) {
        f.Write(QString::fromLatin1(name), bytes);
        EXPECT_EQ(f.Load(QString::fromLatin1(name)), nullptr) << name;
        EXPECT_EQ(f.Read(QString::fromLatin1(name)), bytes) << name << " must stay untouched";
    }
    EXPECT_EQ(f.Load("missing.vcf"), nullptr);
    QDir().mkpath(f.Path("folder.vcf"));
    EXPECT_EQ(f.Load("folder.vcf"), nullptr);
}

// Cards that are not UTF-8 as a whole: each line reads in its own character
// set, a save writes the changed lines in UTF-8 (saying so in 2.1) and every
// other line keeps its bytes.
TEST(VcardContactRead, LinesInOtherCharacterSetsReadRightAndKeepTheirBytes)
{
    struct Case
    {
        const char* name;
        QByteArray card;
        QString fullName;
        QString body;    // as read before the save
        QByteArray note; // the NOTE line as saved after the body gets " +"
    };
    const Case cases[] = {
        {"2.1 in ISO-8859-1",
         Crlf({"BEGIN:VCARD", "VERSION:2.1", "N;CHARSET=ISO-8859-1:M\xFCller;J\xFCrgen",
               "FN;CHARSET=ISO-8859-1:J\xFCrgen M\xFCller",
               "ADR;WORK;CHARSET=ISO-8859-1:;;Stra\xDF"
               "e 1;K\xF6ln",
               "EMAIL;INTERNET:j@example.de", "NOTE;CHARSET=ISO-8859-1:Caf\xE9", "END:VCARD"}),
         QStringLiteral("Jürgen Müller"), QStringLiteral("Café"),
         "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Caf=C3=A9=20+\r\n"},
        {"UTF-8 with a stray byte in the note",
         Crlf({"BEGIN:VCARD", "VERSION:3.0", "FN:Zo\xC3\xAB Fran\xC3\xA7ois",
               "N:Fran\xC3\xA7ois;Zo\xC3\xAB;;;", "ORG:\xC3\x89tude", "EMAIL:z@example.fr",
               "NOTE:caf\xE9 \x80", "END:VCARD"}),
         QStringLiteral("Zoë François"), QStringLiteral("café €"), "NOTE:café € +\r\n"},
        {"a fold inside a character",
         Crlf({"BEGIN:VCARD", "VERSION:3.0", "FN:Zo\xC3", " \xAB Fran\xC3\xA7ois", "EMAIL:z@example.fr",
               "END:VCARD"}),
         QStringLiteral("Zoë François"), QString(), "NOTE:\\n +\r\n"},
        {"Windows-1252 throughout",
         Crlf({"BEGIN:VCARD", "VERSION:3.0", "UID:u1", "FN:J\xFCrgen M\xFCller", "EMAIL:j@example.de",
               "NOTE:Caf\xE9 \x80 5", "END:VCARD"}),
         QStringLiteral("Jürgen Müller"), QStringLiteral("Café € 5"), "NOTE:Café € 5 +\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Contact_Folder f;
        auto contact = f.Make("c.vcf", c.card);
        ASSERT_TRUE(contact);
        EXPECT_EQ(contact->FullName(), c.fullName);
        EXPECT_EQ(contact->Body(), c.body);
        contact->Set_Email_Address(1, QString());
        contact->Set_Body(contact->Body() +
                          (c.body.isEmpty() ? QStringLiteral("\r\n +") : QStringLiteral(" +")));
        contact->Save();
        const QByteArray saved = f.Read("c.vcf");
        for (const QByteArray& line : c.card.split('\n')) {
            const QByteArray kept = line + '\n';
            if (!line.isEmpty() && !line.startsWith("EMAIL") && !line.startsWith("NOTE")) {
                EXPECT_TRUE(saved.contains(kept)) << "not kept: " << line.toStdString();
            }
        }
        EXPECT_TRUE(saved.contains(c.note)) << saved.toStdString();
        EXPECT_FALSE(saved.contains("EMAIL")) << saved.toStdString();
        auto again = f.Load("c.vcf");
        ASSERT_TRUE(again);
        EXPECT_EQ(again->FullName(), c.fullName);
        EXPECT_EQ(again->Body(), contact->Body());
    }
}

TEST(VcardContactRead, Utf16WithByteOrderMarkIsRead)
{
    Contact_Folder f;
    const QString text = QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:w\r\nFN:Zoë\r\nEND:VCARD\r\n");
    QByteArray utf16("\xFF\xFE");
    for (QChar c : text)
        utf16.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    auto c = f.Make("w.vcf", utf16);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->FullName(), QStringLiteral("Zoë"));
    c->Set_Body("n");
    c->Save();
    EXPECT_EQ(f.Read("w.vcf"), (text.left(text.size() - 11) + "NOTE:n\r\nEND:VCARD\r\n").toUtf8());
}

TEST(VcardContactSave, UnchangedPropertiesStayByteForByte)
{
    // Folded photo, groups, odd parameter spelling and unknown properties.
    const QByteArray original = Crlf(
        {"BEGIN:VCARD", "VERSION:3.0", "PRODID:-//Apple Inc.//iOS 17.0//EN", "N:Doe;Jane;;;", "FN:Jane Doe",
         "UID:abc", "item1.EMAIL;type=INTERNET;type=pref:a@x.org", "item1.X-ABLabel:_$!<Other>!$_",
         "EMAIL;TYPE=\"work,internet\":b@x.org",
         "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAMCAgICAgMCAgID",
         " AwMDBAYEBAQEBAgGBgUGCQgKCgkICQkKDA8MCgsOCwkJDRENDg8QEBEQCgwSExIQEw8QEBD/",
         "X-UNKNOWN;X-PARAM=\"a:b;c\":keep\\, me\\; exactly",
         "TEL;type=CELL;type=VOICE;type=pref:+1 555 0100", "X-SOCIALPROFILE;type=twitter:x", "END:VCARD"});
    Contact_Folder f;
    auto c = f.Make("apple.vcf", original);
    ASSERT_TRUE(c);
    c->Set_Email_Address(2, "new@x.org");
    c->Save();
    QByteArray expected = original;
    expected.replace("EMAIL;TYPE=\"work,internet\":b@x.org", "EMAIL;TYPE=\"work,internet\":new@x.org");
    EXPECT_EQ(f.Read("apple.vcf"), expected);
    EXPECT_EQ(f.Files(), QStringList{"apple.vcf"}); // no temporary file left behind
}

TEST(VcardContactSave, KeepsVersionLineEndsAndFoldsLongValuesSafely)
{
    Contact_Folder f;
    auto c = f.Make("v4.vcf", "BEGIN:VCARD\nVERSION:4.0\nUID:urn:uuid:1\nFN:Ann\n"
                              "PHOTO:data:image/png;base64,iVBORw0KGgo=\nEND:VCARD\n");
    ASSERT_TRUE(c);
    QString body;
    for (int i = 0; i < 40; ++i)
        body += QStringLiteral("Zeile %1: äöü €, ").arg(i);
    c->Set_Body(body);
    c->Save();
    const QByteArray saved = f.Read("v4.vcf");
    EXPECT_TRUE(saved.startsWith("BEGIN:VCARD\nVERSION:4.0\nUID:urn:uuid:1\nFN:Ann\n"
                                 "PHOTO:data:image/png;base64,iVBORw0KGgo=\nNOTE:Zeile 0: "));
    EXPECT_FALSE(saved.contains('\r'));
    for (const QByteArray& line : saved.split('\n')) {
        EXPECT_LE(line.size(), 75);
        EXPECT_TRUE(QString::fromUtf8(line).toUtf8() == line) << "a fold split a character";
    }
    auto again = f.Load("v4.vcf");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Body(), body);
}

TEST(VcardContactSave, BodyLineBreaksBecomeCrLfAndVcardNewlines)
{
    Contact_Folder f;
    auto c = f.Make("b.vcf", Crlf({"BEGIN:VCARD", "VERSION:3.0", "UID:b", "FN:B", "END:VCARD"}));
    c->Set_Body("old\r\nReturned Email --------------------------\r\n\r\nbounce\nbody\rend");
    EXPECT_EQ(c->Body(), "old\r\nReturned Email --------------------------\r\n\r\nbounce\r\nbody\r\nend");
    c->Save();
    EXPECT_TRUE(f.Read("b.vcf").contains(
        "NOTE:old\\nReturned Email --------------------------\\n\\nbounce\\nbody\\nend\r\n"));
    EXPECT_EQ(f.Load("b.vcf")->Body(), c->Body());
    c->Set_Body("");
    c->Save();
    EXPECT_FALSE(f.Read("b.vcf").contains("NOTE"));
}

TEST(VcardContactSave, Version21TextGoesQuotedPrintable)
{
    Contact_Folder f;
    auto c =
        f.Make("old.vcf", Crlf({"BEGIN:VCARD", "VERSION:2.1", "N:M\xC3\xBCller;Hans", "TEL;WORK;VOICE:123",
                                "NOTE;ENCODING=QUOTED-PRINTABLE:line one=0D=0Aline =", "two", "END:VCARD"}));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->Body(), "line one\r\nline two");
    EXPECT_EQ(c->Standard_Field("BusinessTelephoneNumber"), "123");
    c->Set_Body(QStringLiteral("Grüße\r\nvon hier; und dort ") + QString(60, QLatin1Char('x')));
    c->Save();
    const QByteArray saved = f.Read("old.vcf");
    // Soft line breaks, not folds: a 2.1 reader would keep a fold's blank.
    EXPECT_TRUE(
        saved.contains("NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Gr=C3=BC=C3=9Fe=0D=0Avon=20hie=\r\n"
                       "r\\;=20und=20dort=20xxx"));
    EXPECT_TRUE(saved.contains("VERSION:2.1\r\n"));
    EXPECT_EQ(f.Load("old.vcf")->Body(), c->Body());
}

TEST(VcardContactEmail, ClearingASlotKeepsTheOthersNumbers)
{
    Contact_Folder f;
    auto c = f.Make("jane.vcf", kJane);
    c->Set_Email_Address(1, "");
    c->Save();
    auto r = f.Load("jane.vcf");
    EXPECT_EQ(r->Email_Address(1), "");
    EXPECT_EQ(r->Email_Address(2), "jane@home.example");
    EXPECT_EQ(r->Email_Address(3), "jd@old.example");
    EXPECT_TRUE(
        f.Read("jane.vcf").contains("EMAIL;TYPE=INTERNET,WORK:\r\n")); // the emptied slot, its type kept

    // The last slot leaves the card entirely; a cleared slot can be filled again.
    r->Set_Email_Address(3, "");
    r->Set_Email_Address(1, "back@work.example");
    r->Save();
    const QByteArray saved = f.Read("jane.vcf");
    EXPECT_FALSE(saved.contains("jd@old.example"));
    EXPECT_TRUE(saved.contains("item1.X-ABLabel:old")); // the group's other line is not ours to drop
    auto s = f.Load("jane.vcf");
    EXPECT_EQ(s->Email_Address(1), "back@work.example");
    EXPECT_EQ(s->Email_Address(2), "jane@home.example");
    EXPECT_EQ(s->Email_Address(3), "");
}

TEST(VcardContactEmail, SettingALaterSlotPadsTheMissingOnes)
{
    Contact_Folder f;
    auto c = f.Make("one.vcf", Crlf({"BEGIN:VCARD", "VERSION:3.0", "UID:1", "FN:One", "EMAIL:a@x.org",
                                     "TEL:1", "END:VCARD"}));
    c->Set_Email_Address(3, "c@x.org");
    EXPECT_THROW(c->Set_Email_Address(4, "d@x.org"), Outlook_Error);
    c->Save();
    EXPECT_EQ(f.Read("one.vcf"), Crlf({"BEGIN:VCARD", "VERSION:3.0", "UID:1", "FN:One", "EMAIL:a@x.org",
                                       "EMAIL:", "EMAIL:c@x.org", "TEL:1", "END:VCARD"}));
    auto r = f.Load("one.vcf");
    EXPECT_EQ(r->Email_Address(2), "");
    EXPECT_EQ(r->Email_Address(3), "c@x.org");
}

TEST(VcardContactUid, AMissingUidIsMadeOnceAndWrittenOnSave)
{
    Contact_Folder f;
    auto c = f.Make("nouid.vcf", Crlf({"BEGIN:VCARD", "VERSION:3.0", "FN:No Uid", "END:VCARD"}));
    const QString uid = c->UID();
    EXPECT_EQ(uid.size(), 36);
    EXPECT_EQ(c->UID(), uid);
    c->Save(); // nothing else changed: the UID alone is worth the write
    EXPECT_EQ(f.Read("nouid.vcf"),
              Crlf({"BEGIN:VCARD", "VERSION:3.0", "FN:No Uid",
                    QStringLiteral("UID:%1").arg(uid).toUtf8().constData(), "END:VCARD"}));
    EXPECT_EQ(f.Load("nouid.vcf")->UID(), uid);
}

TEST(VcardContactSave, NothingChangedWritesNothing)
{
    Contact_Folder f;
    auto c = f.Make("same.vcf", kJane);
    const QDateTime past = QDateTime::currentDateTime().addSecs(-100);
    {
        QFile file(f.Path("same.vcf"));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(past, QFileDevice::FileModificationTime));
    }
    c->Set_Email_Address(1, "jane@work.example"); // the same value
    c->Save();
    EXPECT_EQ(f.Read("same.vcf"), kJane);
    EXPECT_EQ(QFileInfo(f.Path("same.vcf")).lastModified().toSecsSinceEpoch(), past.toSecsSinceEpoch());
}

TEST(VcardContactSave, AFileChangedOrRemovedByAnotherProgramIsNeitherSavedNorDeleted)
{
    Contact_Folder f;
    auto c = f.Make("sync.vcf", kJane);
    const QByteArray theirs = QByteArray(kJane).replace("Jane Doe", "Jane Synced");
    f.Write("sync.vcf", theirs);
    c->Set_Email_Address(1, "");
    EXPECT_THROW(c->Save(), Outlook_Error);
    EXPECT_EQ(f.Read("sync.vcf"), theirs);

    auto d = f.Make("gone.vcf", kJane);
    QFile::remove(f.Path("gone.vcf"));
    d->Set_Body("x");
    EXPECT_THROW(d->Save(), Outlook_Error);
    EXPECT_THROW(d->Delete(), Outlook_Error);
    EXPECT_FALSE(QFileInfo::exists(f.Path("gone.vcf")));

    // A file where the deleted items folder should be: the delete fails.
    auto e = f.Make("stay.vcf", kJane);
    f.Home().Write("deleted", "a file where the folder should be");
    EXPECT_THROW(e->Delete(), Outlook_Error);
    EXPECT_EQ(f.Read("stay.vcf"), kJane);
}

TEST(VcardContactSave, TheFileKeepsItsPermissions)
{
    Contact_Folder f;
    auto c = f.Make("private.vcf", kJane);
    const auto privateMode = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    ASSERT_TRUE(QFile::setPermissions(f.Path("private.vcf"), privateMode));
    c->Set_Body("secret");
    c->Save();
    const auto groupAndOthers =
        QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    EXPECT_EQ(QFile::permissions(f.Path("private.vcf")) & groupAndOthers, QFileDevice::Permissions());
    EXPECT_EQ(f.Load("private.vcf")->Body(), "secret");
}

TEST(VcardContactDelete, MovesTheFileAsideWithoutReplacingAnything)
{
    Contact_Folder f;
    auto first = f.Make("jane.vcf", kJane);
    first->Delete();
    EXPECT_FALSE(QFileInfo::exists(f.Path("jane.vcf")));
    EXPECT_EQ(f.Home().Read(f.Deleted() + "/jane.vcf"), kJane);

    // Another file of the same name lands beside it.
    const QByteArray other = QByteArray(kJane).replace("Jane Doe", "Other Jane");
    auto second = f.Make("jane.vcf", other);
    second->Delete();
    EXPECT_EQ(f.Home().Read(f.Deleted() + "/jane.vcf"), kJane);
    EXPECT_EQ(f.Home().Read(f.Deleted() + "/jane (2).vcf"), other);

    // The deleted contact is gone for good as an item.
    EXPECT_THROW(second->Save(), Outlook_Error);
    EXPECT_THROW(second->Set_Body("x"), Outlook_Error);
    EXPECT_THROW(second->Delete(), Outlook_Error);
    EXPECT_THROW(second->UserProperties().Add("X"), Outlook_Error);
    EXPECT_FALSE(QFileInfo::exists(f.Path("jane.vcf")));
}

TEST(VcardUserProperties, NastyNamesAndValuesRoundTripExactly)
{
    const std::pair<QString, QString> cases[] = {
        {"Bounce Status", "Bounced"},
        {"", "empty name"},
        {"colon:semi;comma,quote\"", "value: with; all, \"sorts\" \\ of % signs %41"},
        {"line\nbreak\r\nname", "cr\rlf\ncrlf\r\n\ttab and trailing blank "},
        {QStringLiteral("Grüße €"), QStringLiteral("日本語 ✓ 😀")},
        {"=?utf-8?q?x?=", ""},
        {"FullName", "a user property may share a standard name"},
        {"fullname", "and differ only in case"},
        {"  padded  ", QString(200, QLatin1Char('x')) + QStringLiteral("ü")},
    };
    Contact_Folder f;
    for (const char* version : {"3.0", "4.0", "2.1"}) {
        const QByteArray card = QByteArray(kCard).replace("3.0", version);
        auto c = f.Make("p.vcf", card);
        ASSERT_TRUE(c);
        for (const auto& [name, value] : cases)
            c->UserProperties().Add(name)->Set_Value(value);
        c->Save();
        EXPECT_TRUE(
            f.Read("p.vcf").contains("\r\nX-BRINDLECAST-USERPROP;X-NAME=Bounce%20Status:Bounced\r\n"));
        auto r = f.Load("p.vcf");
        ASSERT_TRUE(r);
        EXPECT_EQ(r->UserProperties().Count(), int(std::size(cases))) << version;
        for (const auto& [name, value] : cases) {
            User_Property* p = r->UserProperties().Find(name);
            ASSERT_NE(p, nullptr) << version << " " << name.toStdString();
            EXPECT_EQ(p->Name(), name);
            EXPECT_EQ(p->Value(), value) << version << " " << name.toStdString();
        }
        EXPECT_EQ(r->FullName(), "User Props"); // the standard field is untouched
    }
}

TEST(VcardUserProperties, AddFindAndDelete)
{
    Contact_Folder f;
    auto c = f.Make("p.vcf", kCard);
    User_Properties& props = c->UserProperties();
    EXPECT_EQ(props.Count(), 0);
    EXPECT_EQ(props.Find("Status"), nullptr);
    User_Property* a = props.Add("Status", olText);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Value(), "");
    a->Set_Value("one");
    EXPECT_EQ(props.Add("Status"), a); // the existing one, value kept
    EXPECT_EQ(a->Value(), "one");
    EXPECT_EQ(props.Find("status"), nullptr);
    EXPECT_EQ(props.Find("Status "), nullptr);
    EXPECT_THROW(props.Add("Number", 3), Outlook_Error); // only text properties
    props.Add("Other")->Set_Value("two");
    EXPECT_EQ(props.Count(), 2);
    c->Save();

    auto r = f.Load("p.vcf");
    r->UserProperties().Find("Status")->Delete();
    EXPECT_EQ(r->UserProperties().Find("Status"), nullptr);
    EXPECT_EQ(r->UserProperties().Count(), 1);
    r->Save();
    EXPECT_EQ(f.Read("p.vcf"), Crlf({"BEGIN:VCARD", "VERSION:3.0", "UID:u", "FN:User Props",
                                     "X-BRINDLECAST-USERPROP;X-NAME=Other:two", "END:VCARD"}));

    // Added again after its deletion: a fresh property.
    User_Property* again = r->UserProperties().Add("Status");
    EXPECT_EQ(again->Value(), "");
    EXPECT_EQ(r->UserProperties().Count(), 2);
}

TEST(VcardUserProperties, ValuesSurviveAnotherProgramsEscaping)
{
    // A program that rewrites the file may add vCard escapes and fold lines.
    Contact_Folder f;
    auto c = f.Make("p.vcf", Crlf({"BEGIN:VCARD", "VERSION:3.0", "UID:u", "FN:P",
                                   "X-BRINDLECAST-USERPROP;X-NAME=\"Bounce%20Status\":Bounced\\: see %2C n",
                                   " ote\\ntwo", "X-BRINDLECAST-USERPROP:no name, not ours", "END:VCARD"}));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->UserProperties().Count(), 1);
    ASSERT_NE(c->UserProperties().Find("Bounce Status"), nullptr);
    EXPECT_EQ(c->UserProperties().Find("Bounce Status")->Value(), "Bounced: see , note\ntwo");
}
