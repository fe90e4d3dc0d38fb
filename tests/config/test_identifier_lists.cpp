#include "config/App_State.h"
#include "config/Data_Strings.h"
#include "config/Identifier_Lists.h"
#include "config/Text_File.h"
#include "support/File_Size_Limit.h"
#include "support/Qt_Print.h"
#include "support/Recorded_Messages.h"
#include "support/Temp_Home.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

#include <gtest/gtest.h>

using namespace bc;

namespace {

const QString kFileError = QStringLiteral("Error on reading data file. Error: ");
const QString kResetIntro =
    QStringLiteral("This query may result on a message from Outlook re. accessing your profile.\r\n"
                   "If this happens, simply set the timeout to 1 minute and press ok.");
const QString kResetFailed =
    QStringLiteral("Failed to set default Email Address!!!\r\n"
                   "Your default email has not been set. Bounced emails may attach to "
                   "your contact record.");

class IdentifierLists : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir().mkpath(home.Data_Folder());
        App().Data_Folder = home.Data_Folder();
        Lists() = Identifier_Lists{};
    }
    void TearDown() override { Lists() = Identifier_Lists{}; }
    QString Search_File() const { return home.Data_Folder() + kSearchStringsFile; }
    QString No_Check_File() const { return home.Data_Folder() + kNoCheckStringsFile; }

    test::Temp_Home home;
    test::Recorded_Messages messages;
};

} // namespace

TEST_F(IdentifierLists, WithoutTheFileTheBuiltInPhrasesApplyAndNoFileIsMade)
{
    Setup_Search_Strings();
    EXPECT_EQ(Lists().Search_Strings, Fallback_Search_Strings());
    ASSERT_EQ(Lists().Num_Search_Strings(), 29);
    EXPECT_EQ(Lists().Search_Strings.first(), QStringLiteral("autoforward of message"));
    EXPECT_EQ(Lists().Search_Strings.last(), QStringLiteral("User does not exist"));
    EXPECT_FALSE(QFile::exists(Search_File()));
    EXPECT_TRUE(messages.shown.isEmpty());

    ASSERT_EQ(Reset_Search_Strings().size(), 30);
    EXPECT_EQ(Reset_Search_Strings().mid(0, 29), Fallback_Search_Strings());
    EXPECT_TRUE(Contains_Return_Identifier(QStringLiteral("Undeliverable: Meeting on Monday")));
    EXPECT_EQ(Reset_Search_Strings().last(), QStringLiteral("warning:"));
}

TEST_F(IdentifierLists, LoadKeepsEveryNonBlankLineAsItStands)
{
    home.Write(Search_File(), "returned mail\r\n\r\n  \r\nUndeliverable\nR\xFC"
                              "ckl\xE4ufer\r\n\n");
    Add_Search_String(QStringLiteral("left over"));
    Setup_Search_Strings();
    EXPECT_EQ(Lists().Search_Strings,
              (QStringList{"returned mail", "  ", "Undeliverable", QStringLiteral("Rückläufer")}));

    // An existing empty file is an empty list, not a reason to fall back.
    home.Write(Search_File(), "");
    Setup_Search_Strings();
    EXPECT_TRUE(Lists().Search_Strings.isEmpty());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(IdentifierLists, SaveWritesTheNonEmptyRowsAndTheListFollowsTheFile)
{
    Setup_Search_Strings();
    ASSERT_TRUE(Save_Search_Strings({"b", "", QStringLiteral("Müller"), "a", "a"}));
    EXPECT_EQ(home.Read(Search_File()), QByteArray("b\r\nM\xFCller\r\na\r\na\r\n"));
    const QStringList expected{"b", QStringLiteral("Müller"), "a", "a"};
    EXPECT_EQ(Lists().Search_Strings, expected);
    Setup_Search_Strings();
    EXPECT_EQ(Lists().Search_Strings, expected);

    // Rows that are all empty leave an empty file: no identifiers at all.
    ASSERT_TRUE(Save_Search_Strings({"", ""}));
    EXPECT_TRUE(QFile::exists(Search_File()));
    EXPECT_EQ(home.Read(Search_File()), QByteArray());
    EXPECT_TRUE(Lists().Search_Strings.isEmpty());
    Setup_Search_Strings();
    EXPECT_TRUE(Lists().Search_Strings.isEmpty());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(IdentifierLists, ResetWritesExactlyThirtyLinesEndingWithWarning)
{
    home.Write(Search_File(), "mine\r\n");
    Setup_Search_Strings();
    ASSERT_TRUE(Reset_Search_Strings_To_Default());
    EXPECT_EQ(Lists().Search_Strings, Reset_Search_Strings());
    const QByteArray bytes = home.Read(Search_File());
    EXPECT_EQ(bytes.count("\r\n"), 30);
    EXPECT_TRUE(bytes.endsWith("\r\nwarning:\r\n"));
    EXPECT_FALSE(bytes.contains("\r\n\r\n"));
    EXPECT_FALSE(bytes.contains("mine"));
}

TEST_F(IdentifierLists, AppendAddsOneLineToTheFileAndTheList)
{
    Setup_Search_Strings(); // no file: the built-in phrases
    ASSERT_TRUE(Append_Search_String(QStringLiteral("Rückläufer")));
    EXPECT_EQ(home.Read(Search_File()), QByteArray("R\xFC"
                                                   "ckl\xE4ufer\r\n"));
    EXPECT_EQ(Lists().Num_Search_Strings(), 30);
    EXPECT_EQ(Lists().Search_Strings.last(), QStringLiteral("Rückläufer"));

    // From the next start on only the appended line counts.
    Setup_Search_Strings();
    EXPECT_EQ(Lists().Search_Strings, QStringList{QStringLiteral("Rückläufer")});

    ASSERT_TRUE(Append_Search_String(QStringLiteral("bounce")));
    ASSERT_TRUE(Append_Search_String(QStringLiteral("bounce")));
    EXPECT_EQ(home.Read(Search_File()), QByteArray("R\xFC"
                                                   "ckl\xE4ufer\r\nbounce\r\nbounce\r\n"));
    EXPECT_EQ(Lists().Search_Strings, (QStringList{QStringLiteral("Rückläufer"), "bounce", "bounce"}));

    // Nothing empty is ever appended.
    EXPECT_FALSE(Append_Search_String(QString()));
    EXPECT_EQ(Lists().Num_Search_Strings(), 3);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(IdentifierLists, AppendDoesNotGlueOntoALastLineWithoutLineEnd)
{
    home.Write(Search_File(), "returned mail");
    ASSERT_TRUE(Append_Search_String(QStringLiteral("bounce")));
    EXPECT_EQ(home.Read(Search_File()), QByteArray("returned mail\r\nbounce\r\n"));
    Setup_Search_Strings();
    EXPECT_EQ(Lists().Search_Strings, (QStringList{"returned mail", "bounce"}));
}

TEST_F(IdentifierLists, FailedWritesKeepTheOldFilesAndTheOldLists)
{
    ASSERT_TRUE(Save_Search_Strings({"old one"}));
    ASSERT_TRUE(Save_No_Check_Strings({"me@example.com"}));
    const QByteArray before = home.Read(Search_File());
    const QByteArray noCheckBefore = home.Read(No_Check_File());
    {
        test::File_Size_Limit limit(static_cast<rlim_t>(before.size()) + 4);
        EXPECT_FALSE(Save_Search_Strings({"a much longer identifier", "and another"}));
        EXPECT_FALSE(Reset_Search_Strings_To_Default());
        EXPECT_FALSE(Append_Search_String(QStringLiteral("a long identifier")));
        EXPECT_FALSE(Save_No_Check_Strings({"me@example.com", "you@example.com"}));
    }
    EXPECT_EQ(home.Read(Search_File()), before); // whole, and no half line appended
    EXPECT_EQ(home.Read(No_Check_File()), noCheckBefore);
    EXPECT_EQ(Lists().Search_Strings, QStringList{"old one"});
    EXPECT_EQ(Lists().No_Check_Strings, QStringList{"ME@EXAMPLE.COM"});
    ASSERT_EQ(messages.shown.size(), 4);
    for (const QString& shown : messages.shown) {
        EXPECT_TRUE(shown.startsWith(kFileError)) << shown.toStdString();
        EXPECT_GT(shown.size(), kFileError.size());
    }
    EXPECT_EQ(QDir(home.Data_Folder()).entryList(QDir::Files),
              QStringList({kNoCheckStringsFile, kSearchStringsFile})); // no temp left
}

TEST_F(IdentifierLists, AFileInThePlaceOfTheDataFolderIsReported)
{
    const QString blocker = home.Data_Home() + QStringLiteral("/not-a-folder");
    home.Write(blocker, "x");
    App().Data_Folder = blocker + QLatin1Char('/');
    Add_Search_String(QStringLiteral("kept"));
    EXPECT_FALSE(Save_Search_Strings({"new"}));
    EXPECT_FALSE(Save_No_Check_Strings({"me@example.com"}));
    EXPECT_FALSE(Append_Search_String(QStringLiteral("new")));
    EXPECT_EQ(Lists().Search_Strings, QStringList{"kept"});
    EXPECT_TRUE(Lists().No_Check_Strings.isEmpty());
    ASSERT_EQ(messages.shown.size(), 3);
    for (const QString& shown : messages.shown)
        EXPECT_TRUE(shown.startsWith(kFileError)) << shown.toStdString();
    EXPECT_EQ(home.Read(blocker), QByteArray("x"));
}

TEST_F(IdentifierLists, UnreadableFilesShowTheirLoadMessages)
{
    QDir().mkpath(Search_File()); // a folder where the file should be
    QDir().mkpath(No_Check_File());
    Setup_Search_Strings();
    Add_No_Check_String(QStringLiteral("x@y"));
    Setup_No_Check();
    EXPECT_TRUE(Lists().Search_Strings.isEmpty());
    EXPECT_TRUE(Lists().No_Check_Strings.isEmpty());
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(messages.shown[0].startsWith(kFileError));
    EXPECT_GT(messages.shown[0].size(), kFileError.size());
    EXPECT_TRUE(
        messages.shown[1].startsWith(QStringLiteral("Error on reading Setup_No_Check Array. Error: ")));
}

TEST_F(IdentifierLists, SubjectTestFindsAnIdentifierAnywhereIgnoringCase)
{
    Add_Search_String(QStringLiteral("returned mail"));
    Add_Search_String(QStringLiteral("undelivered"));
    EXPECT_TRUE(Contains_Return_Identifier(QStringLiteral("Returned mail: see transcript for details")));
    EXPECT_TRUE(Contains_Return_Identifier(QStringLiteral("Fw: RETURNED MAIL: User unknown")));
    EXPECT_TRUE(Contains_Return_Identifier(QStringLiteral("Your message was UNDELIVERED")));
    EXPECT_TRUE(Contains_Return_Identifier(QStringLiteral("Mail Undeliveredness report")));
    EXPECT_FALSE(Contains_Return_Identifier(QStringLiteral("Returned: the book")));
    EXPECT_FALSE(Contains_Return_Identifier(QStringLiteral("mail"))); // a piece of an identifier
    EXPECT_FALSE(Contains_Return_Identifier(QString()));

    // A changed list is used at once, also when its size stays the same.
    Lists().Search_Strings[0] = QStringLiteral("bounce");
    EXPECT_FALSE(Contains_Return_Identifier(QStringLiteral("Returned mail: see transcript for details")));
    EXPECT_TRUE(Contains_Return_Identifier(QStringLiteral("Bounce notice")));

    // An empty identifier must not turn every message into a returned one.
    Add_Search_String(QString());
    EXPECT_FALSE(Contains_Return_Identifier(QStringLiteral("Lunch on Friday?")));

    Lists().Search_Strings.clear();
    EXPECT_FALSE(Contains_Return_Identifier(QStringLiteral("Returned mail")));
}

// A line of spaces is kept as an identifier, but would otherwise make every
// subject with a space a returned message.
TEST_F(IdentifierLists, BlankIdentifiersMatchNothingAndStayInTheListAndTheFile)
{
    const QByteArray file = " \r\nreturned mail\r\n\t\r\n";
    home.Write(Search_File(), file);
    Setup_Search_Strings();
    EXPECT_EQ(Lists().Search_Strings, (QStringList{" ", "returned mail", "\t"}));
    EXPECT_FALSE(Contains_Return_Identifier(QStringLiteral("Lunch on Friday?")));
    EXPECT_FALSE(Contains_Return_Identifier(QStringLiteral("Tab\tseparated")));
    EXPECT_TRUE(Contains_Return_Identifier(QStringLiteral("Returned mail: see transcript")));
    ASSERT_TRUE(Save_Search_Strings(Lists().Search_Strings));
    EXPECT_EQ(home.Read(Search_File()), file);
}

TEST_F(IdentifierLists, NoCheckListStartsEmptyAndAMissingFileChangesNothing)
{
    Setup_No_Check();
    EXPECT_TRUE(Lists().No_Check_Strings.isEmpty());
    EXPECT_FALSE(Is_No_Check_String(QStringLiteral("ME@EXAMPLE.COM")));
    Add_No_Check_String(QStringLiteral("me@example.com"));
    Setup_No_Check();
    EXPECT_EQ(Lists().No_Check_Strings, QStringList{"ME@EXAMPLE.COM"});
    EXPECT_FALSE(QFile::exists(No_Check_File()));
}

TEST_F(IdentifierLists, NoCheckSaveStoresTheTypedTextEncryptedAndUpperCaseInMemory)
{
    ASSERT_TRUE(Save_No_Check_Strings({"Me@Example.com", "", QStringLiteral("müller@example.de")}));
    const QString first = Encrypt_Data_String(QStringLiteral("Me@Example.com"));
    const QString second = Encrypt_Data_String(QStringLiteral("müller@example.de"));
    EXPECT_EQ(home.Read(No_Check_File()), (first + "\r\n" + second + "\r\n").toLatin1());
    const QStringList expected{"ME@EXAMPLE.COM", QStringLiteral("MÜLLER@EXAMPLE.DE")};
    EXPECT_EQ(Lists().No_Check_Strings, expected);

    EXPECT_TRUE(Is_No_Check_String(QStringLiteral("ME@EXAMPLE.COM")));
    EXPECT_FALSE(Is_No_Check_String(QStringLiteral("me@example.com"))); // callers upper-case first
    EXPECT_FALSE(Is_No_Check_String(QStringLiteral("XME@EXAMPLE.COM")));
    EXPECT_FALSE(Is_No_Check_String(QStringLiteral("EXAMPLE.COM")));

    Lists() = Identifier_Lists{};
    Setup_No_Check();
    EXPECT_EQ(Lists().No_Check_Strings, expected);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(IdentifierLists, NoCheckLinesThatDoNotDecryptBecomeEmptyEntries)
{
    const QByteArray me = Encrypt_Data_String(QStringLiteral("me@example.com")).toLatin1();
    const QByteArray other = Encrypt_Data_String(QStringLiteral("other@example.org")).toLatin1();
    home.Write(No_Check_File(), me + "\n\r\nZZZZ\r\n" + me.toLower() + "\r\n" + other);
    Setup_No_Check();
    EXPECT_EQ(Lists().No_Check_Strings, (QStringList{"ME@EXAMPLE.COM", "", "", "", "OTHER@EXAMPLE.ORG"}));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(Is_No_Check_String(QStringLiteral("OTHER@EXAMPLE.COM")));

    // The editor shows them as empty rows; saving those rows drops them.
    QStringList rows;
    for (const QString& entry : Lists().No_Check_Strings)
        rows.append(entry.toLower());
    ASSERT_TRUE(Save_No_Check_Strings(rows));
    EXPECT_EQ(Lists().No_Check_Strings, (QStringList{"ME@EXAMPLE.COM", "OTHER@EXAMPLE.ORG"}));
    EXPECT_EQ(home.Read(No_Check_File()).count("\r\n"), 2);
}

TEST_F(IdentifierLists, NoRowsDeleteTheNoCheckFileButEmptyRowsLeaveAnEmptyOne)
{
    ASSERT_TRUE(Save_No_Check_Strings({"me@example.com"}));
    QFile::setPermissions(No_Check_File(), QFileDevice::ReadOwner);
    ASSERT_TRUE(Save_No_Check_Strings({}));
    EXPECT_FALSE(QFile::exists(No_Check_File()));
    EXPECT_TRUE(Lists().No_Check_Strings.isEmpty());
    ASSERT_TRUE(Save_No_Check_Strings({})); // nothing to delete

    ASSERT_TRUE(Save_No_Check_Strings({"", ""}));
    EXPECT_TRUE(QFile::exists(No_Check_File()));
    EXPECT_EQ(home.Read(No_Check_File()), QByteArray());
    Setup_No_Check();
    EXPECT_TRUE(Lists().No_Check_Strings.isEmpty());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(IdentifierLists, NoCheckResetStoresTheProfileOwnersAddress)
{
    ASSERT_TRUE(Save_No_Check_Strings({"old@example.com"}));
    QStringList rows{"old@example.com", "zzz"};
    qsizetype shownBeforeLookup = -1;
    const bool ok = Reset_No_Check_To_Default(
        [&]() -> std::optional<QString> {
            shownBeforeLookup = messages.shown.size();
            return QStringLiteral("Jane.Doe@Example.com");
        },
        rows);
    ASSERT_TRUE(ok);
    EXPECT_EQ(shownBeforeLookup, 1); // the warning comes before the profile is asked
    EXPECT_EQ(messages.shown, QStringList{kResetIntro});
    EXPECT_EQ(rows, QStringList{"jane.doe@example.com"});
    EXPECT_EQ(Lists().No_Check_Strings, QStringList{"JANE.DOE@EXAMPLE.COM"});
    EXPECT_EQ(home.Read(No_Check_File()),
              (Encrypt_Data_String(QStringLiteral("jane.doe@example.com")) + "\r\n").toLatin1());
}

TEST_F(IdentifierLists, NoCheckResetWithoutAnAddressKeepsTheOldList)
{
    ASSERT_TRUE(Save_No_Check_Strings({"me@example.com"}));
    const QByteArray before = home.Read(No_Check_File());
    QStringList rows{"me@example.com", "typed@example.com"};

    // No current user is not a failure: only the short notice.
    for (const QString& none : {QStringLiteral("none"), QString()}) {
        messages.shown.clear();
        EXPECT_FALSE(Reset_No_Check_To_Default(
            [&]() -> std::optional<QString> {
                if (none.isEmpty())
                    return QString();
                return std::nullopt;
            },
            rows));
        EXPECT_EQ(messages.shown,
                  (QStringList{kResetIntro, kResetFailed.section(QStringLiteral("\r\n"), 1)}));
    }

    messages.shown.clear();
    EXPECT_FALSE(Reset_No_Check_To_Default(
        []() -> std::optional<QString> { throw std::runtime_error("profile unreadable"); }, rows));
    EXPECT_EQ(messages.shown, (QStringList{kResetIntro, kResetFailed}));

    EXPECT_EQ(rows, (QStringList{"me@example.com", "typed@example.com"}));
    EXPECT_EQ(Lists().No_Check_Strings, QStringList{"ME@EXAMPLE.COM"});
    EXPECT_EQ(home.Read(No_Check_File()), before);
}
