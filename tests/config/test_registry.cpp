// The settings store seen from its callers: what a value becomes when it is
// saved, how it reads back, and what the file then holds. And where the data
// files live: the suite's HomeDir when another program set it, else the
// user's data folder; created on start-up when missing.

#include "config/App_State.h"
#include "config/Registry_Routines.h"
#include "support/Qt_Print.h"
#include "support/Temp_Home.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <climits>

using namespace bc;

namespace {

const QString kSection = QStringLiteral("[HKEY_CURRENT_USER\\Software\\Brindlecast]");

// The line of one value in the settings file, "" when there is none.
QByteArray Stored_Line(const test::Temp_Home& home, const QByteArray& name)
{
    for (const QByteArray& line : home.Read(home.Registry_File()).split('\n'))
        if (line.startsWith("\"" + name + "\"="))
            return line;
    return {};
}

// What the file holds after a save: the value's text after "ToDo_Regarding"=.
struct Saved_As
{
    QVariant given;
    const char* stored;
    const char* reads;
};

} // namespace

// Numbers and numeric text are stored as integers, text without surrounding
// blanks; our choice where the integer form cannot hold the number: keep what
// was typed, as text.
TEST(Registry, ValuesAreStoredAsIntegersOrTrimmedText)
{
    const Saved_As cases[] = {
        {QStringLiteral("007"), "dword:00000007", "7"},
        {QStringLiteral("1.5"), "dword:00000002", "2"},
        {QStringLiteral("2.5"), "dword:00000002", "2"},
        {QStringLiteral("-2.5"), "dword:fffffffe", "-2"},
        {QStringLiteral("0.5"), "dword:00000000", "0"},
        {QStringLiteral("3.5"), "dword:00000004", "4"},
        {QStringLiteral("1e3"), "dword:000003e8", "1000"},
        {QStringLiteral("1.5E+1"), "dword:0000000f", "15"},
        {QStringLiteral("25e-1"), "dword:00000002", "2"},
        {QStringLiteral("1,000"), "dword:000003e8", "1000"},
        {QStringLiteral("  42  "), "dword:0000002a", "42"},
        {QStringLiteral("+3"), "dword:00000003", "3"},
        {QStringLiteral(".5"), "dword:00000000", "0"},
        {QStringLiteral("7."), "dword:00000007", "7"},
        {QStringLiteral("-1"), "dword:ffffffff", "-1"},
        {QVariant(1), "dword:00000001", "1"},
        {QVariant(2), "dword:00000002", "2"},
        {QVariant(2.5), "dword:00000002", "2"},
        {QVariant(true), "dword:ffffffff", "-1"},
        {QVariant(false), "dword:00000000", "0"},
        {QVariant(qint64(-7)), "dword:fffffff9", "-7"},
        {QStringLiteral("2147483647"), "dword:7fffffff", "2147483647"},
        {QStringLiteral("-2147483648"), "dword:80000000", "-2147483648"},
        {QStringLiteral("  Returned Email  "), "\"Returned Email\"", "Returned Email"},
        {QStringLiteral("\tTabbed\t"), "\"\tTabbed\t\"", "\tTabbed\t"},
        {QStringLiteral(""), "\"\"", ""},
        {QString(), "\"\"", ""},
        {QVariant(), "\"\"", ""},
        {QStringLiteral("."), "\".\"", "."},
        {QStringLiteral("-"), "\"-\"", "-"},
        {QStringLiteral("1e"), "\"1e\"", "1e"},
        {QStringLiteral("1e+"), "\"1e+\"", "1e+"},
        {QStringLiteral(" 1 000 "), "\"1 000\"", "1 000"},
        {QStringLiteral("12abc"), "\"12abc\"", "12abc"},
        {QStringLiteral(",5"), "\",5\"", ",5"},
        {QStringLiteral("1.2.3"), "\"1.2.3\"", "1.2.3"},
        {QStringLiteral("--1"), "\"--1\"", "--1"},
        {QStringLiteral("Müller €"), "\"M\xC3\xBCller \xE2\x82\xAC\"", "Müller €"},
        {QStringLiteral("2147483648"), "\"2147483648\"", "2147483648"},
        {QStringLiteral("-2147483649"), "\"-2147483649\"", "-2147483649"},
        {QStringLiteral("2147483647.5"), "\"2147483647.5\"", "2147483647.5"},
        {QStringLiteral("  0123456789012  "), "\"0123456789012\"", "0123456789012"},
        {QStringLiteral("1e10"), "\"1e10\"", "1e10"},
        {QStringLiteral("1e999"), "\"1e999\"", "1e999"},
        {QVariant(qint64(1) << 40), "\"1099511627776\"", "1099511627776"},
        {QVariant(quint32(4000000000u)), "\"4000000000\"", "4000000000"},
        {QVariant(3), "dword:00000003", "3"}, // a text value becomes a number again
    };
    test::Temp_Home home;
    for (const Saved_As& c : cases) {
        SCOPED_TRACE(c.given.toString().toStdString());
        Save_Setting(ToDo_Regarding, c.given);
        EXPECT_EQ(Stored_Line(home, "ToDo_Regarding"), "\"ToDo_Regarding\"=" + QByteArray(c.stored));
        EXPECT_EQ(Get_Setting(ToDo_Regarding), QString::fromUtf8(c.reads));
    }
}

TEST(Registry, BackslashesQuotesAndLineBreaksRoundTrip)
{
    test::Temp_Home home;
    const QString path = QStringLiteral("C:\\Data\\\"quoted\" \\\\server\\");
    Save_Setting(Contact_Field_To_Set, path);
    EXPECT_EQ(Get_Setting(Contact_Field_To_Set), path);
    EXPECT_EQ(Stored_Line(home, "Contact_Field_To_Set"),
              QByteArray(R"("Contact_Field_To_Set"="C:\\Data\\\"quoted\" \\\\server\\")"));

    // No quoted form holds a line break; the value must still come back whole
    // and must not break the file for the values after it.
    const QString twoLines = QStringLiteral("first line\r\nsecond \"line\"");
    Save_Setting(ToDo_Regarding, twoLines);
    Save_Setting(ToDo_Priority, QStringLiteral("High"));
    EXPECT_EQ(Get_Setting(ToDo_Regarding), twoLines);
    EXPECT_EQ(Get_Setting(ToDo_Priority), QStringLiteral("High"));
    EXPECT_EQ(Get_Setting(Contact_Field_To_Set), path);

    // Text with an inner NUL reads back up to it, as a C string reader sees it.
    Save_Setting(Contact_Value_To_Set, QStringLiteral("before") + QChar(0) + QStringLiteral("after"));
    EXPECT_EQ(Get_Setting(Contact_Value_To_Set), QStringLiteral("before"));
}

TEST(Registry, ValuesWrittenByOthersReadByType)
{
    test::Temp_Home home;
    home.Write("config/Brindlecast/registry.reg",
               "REGEDIT4\r\n\r\n"
               "[HKEY_CURRENT_USER\\Software\\Brindlecast]\r\n"
               "\"Contact_Field_To_Set\"=hex(1):41,42,00,43,44,00\r\n" // inner NUL
               "\"Contact_Value_To_Set\"=hex(1):48,65,6c,6c,\\\r\n"    // continued, no NUL
               "  6f\r\n"
               "\"ToDo_Regarding\"=hex(2):41,00\r\n"
               "\"ToDo_Priority\"=hex:01,02\r\n"
               "\"ToDo_Status\"=hex(7):41,00,00\r\n"
               "\"Email_Inbox_Folder\"=hex(b):01,00,00,00,00,00,00,00\r\n"
               "\"Email_Inbox_Entry_ID\"=hex(4):0a,00,00,00\r\n"
               "\"Email_Inbox_StoreID\"=hex(0):\r\n"
               "\"Log_Enabled\"=dword:00000002\r\n"
               "\"Clear_Email_Address\"=dword:FFFFFFFF\r\n");
    EXPECT_EQ(Get_Setting(Contact_Field_To_Set), QStringLiteral("AB"));
    EXPECT_EQ(Get_Setting(Contact_Value_To_Set), QStringLiteral("Hello"));
    EXPECT_EQ(Get_Setting(ToDo_Regarding), QString());
    EXPECT_EQ(Get_Setting(ToDo_Priority), QString());
    EXPECT_EQ(Get_Setting(ToDo_Status), QString());
    EXPECT_EQ(Get_Setting(Email_Inbox_Folder), QString());
    EXPECT_EQ(Get_Setting(Email_Inbox_Entry_ID), QStringLiteral("10"));
    EXPECT_EQ(Get_Setting(Email_Inbox_StoreID), QString());
    EXPECT_EQ(Get_Setting(Log_Enabled), QStringLiteral("2")); // a grayed check box
    EXPECT_EQ(Get_Setting(Clear_Email_Address), QStringLiteral("-1"));

    EXPECT_TRUE(std::holds_alternative<std::monostate>(
        Read_Registry_Value(HKEY_CURRENT_USER, kProgramKey, QStringLiteral("ToDo_Regarding"))));
    EXPECT_EQ(Read_Registry_Value(HKEY_CURRENT_USER, kProgramKey, QStringLiteral("Log_Enabled")),
              Reg_Value(qint32(2)));
    EXPECT_EQ(Read_Registry_Value(HKEY_CURRENT_USER, kProgramKey, QStringLiteral("Contact_Field_To_Set")),
              Reg_Value(QStringLiteral("AB")));
}

TEST(Registry, KeyAndValueNamesIgnoreCase)
{
    test::Temp_Home home;
    home.Write("config/Brindlecast/registry.reg", "REGEDIT4\n\n"
                                                  "[hkey_current_user\\SOFTWARE\\brindlecast]\n"
                                                  "\"todo_regarding\"=\"Old\"\n"
                                                  "\"Log_Enabled\"=dword:00000001\n");
    EXPECT_EQ(Get_Setting(ToDo_Regarding), QStringLiteral("Old"));
    EXPECT_EQ(Read_Registry_Value(HKEY_CURRENT_USER, QStringLiteral("\\software\\BRINDLECAST\\"),
                                  QStringLiteral("TODO_REGARDING")),
              Reg_Value(QStringLiteral("Old")));

    // The existing entry is replaced in place, not joined by a second one.
    Save_Setting(ToDo_Regarding, QStringLiteral("New"));
    EXPECT_EQ(home.Read(home.Registry_File()), QByteArray("REGEDIT4\n\n"
                                                          "[hkey_current_user\\SOFTWARE\\brindlecast]\n"
                                                          "\"todo_regarding\"=\"New\"\n"
                                                          "\"Log_Enabled\"=dword:00000001\n"));
}

TEST(Registry, AValueGivenTwiceCountsWithItsLastOccurrence)
{
    test::Temp_Home home;
    home.Write("config/Brindlecast/registry.reg", "REGEDIT4\n\n"
                                                  "[HKEY_CURRENT_USER\\Software\\Brindlecast]\n"
                                                  "\"ToDo_Priority\"=\"Low\"\n"
                                                  "\"ToDo_Status\"=\"Call\"\n"
                                                  "\n"
                                                  "[HKEY_CURRENT_USER\\Software\\Brindlecast]\n"
                                                  "\"TODO_PRIORITY\"=\"High\"\n");
    EXPECT_EQ(Get_Setting(ToDo_Priority), QStringLiteral("High"));
    EXPECT_EQ(Get_Setting(ToDo_Status), QStringLiteral("Call"));

    // After a save only the new value is left.
    Save_Setting(ToDo_Priority, QStringLiteral("Normal"));
    EXPECT_EQ(Get_Setting(ToDo_Priority), QStringLiteral("Normal"));
    EXPECT_EQ(home.Read(home.Registry_File()), QByteArray("REGEDIT4\n\n"
                                                          "[HKEY_CURRENT_USER\\Software\\Brindlecast]\n"
                                                          "\"ToDo_Priority\"=\"Normal\"\n"
                                                          "\"ToDo_Status\"=\"Call\"\n"
                                                          "\n"
                                                          "[HKEY_CURRENT_USER\\Software\\Brindlecast]\n"));
}

TEST(Registry, EverySettingHasItsOwnNameAndKey)
{
    const std::pair<Setting, const char*> settings[] = {
        {Contact_Action, "Contact_Action"},
        {Contact_Field_To_Set, "Contact_Field_To_Set"},
        {Contact_Value_To_Set, "Contact_Value_To_Set"},
        {Log_Enabled, "Log_Enabled"},
        {Clear_Email_Address, "Clear_Email_Address"},
        {Email_What_To_Do, "Email_What_To_Do"},
        {Email_Inbox_Folder, "Email_Inbox_Folder"},
        {Email_Inbox_Entry_ID, "Email_Inbox_Entry_ID"},
        {Email_Inbox_StoreID, "Email_Inbox_StoreID"},
        {Email_Destination_Folder, "Email_Destination_Folder"},
        {Email_Destination_EntryID, "Email_Destination_EntryID"},
        {Email_Destination_StoreID, "Email_Destination_StoreID"},
        {ToDo_Status, "ToDo_Status"},
        {ToDo_Regarding, "ToDo_Regarding"},
        {ToDo_Priority, "ToDo_Priority"},
        {ToDo_Alarm, "ToDo_Alarm"},
        {CreateANote, "CreateANote"},
    };
    test::Temp_Home home;
    for (const auto& [selector, name] : settings) {
        EXPECT_EQ(Get_Setting(selector), QString()) << name; // first start: nothing stored
        Save_Setting(selector, QStringLiteral("v") + QString::number(selector));
    }
    for (const auto& [selector, name] : settings) {
        EXPECT_EQ(Get_Setting(selector), QStringLiteral("v") + QString::number(selector)) << name;
        EXPECT_EQ(
            Reg_Value_Text(Read_Registry_Value(HKEY_CURRENT_USER, kProgramKey, QString::fromLatin1(name))),
            QStringLiteral("v") + QString::number(selector))
            << name;
    }

    // HomeDir belongs to the suite's shared key, not to the program's own.
    EXPECT_EQ(Get_Setting(HomeDir), QString());
    Write_Registry_Value(HKEY_CURRENT_USER, kProgramKey, QStringLiteral("HomeDir"), QStringLiteral("/wrong"));
    EXPECT_EQ(Get_Setting(HomeDir), QString());
    Write_Registry_Value(HKEY_CURRENT_USER, kSuiteKey, QStringLiteral("HomeDir"),
                         QStringLiteral("/data/mail"));
    EXPECT_EQ(Get_Setting(HomeDir), QStringLiteral("/data/mail"));
    EXPECT_TRUE(home.Read(home.Registry_File())
                    .contains("[HKEY_CURRENT_USER\\Software\\Quorin_OEmail_Suite]\n"
                              "\"HomeDir\"=\"/data/mail\"\n"));
}

TEST(Registry, UnknownSelectorsAndOtherRootsReadEmptyAndWriteNothing)
{
    test::Temp_Home home;
    for (qint16 selector :
         {qint16(0), qint16(1), qint16(5), qint16(14), qint16(33), qint16(36), qint16(-1)}) {
        Save_Setting(selector, QStringLiteral("x"));
        EXPECT_EQ(Get_Setting(selector), QString()) << selector;
    }
    Write_Registry_Value(0x80000002u, kProgramKey, QStringLiteral("Log_Enabled"), 1);
    EXPECT_FALSE(QFile::exists(home.Registry_File()));

    Save_Setting(Log_Enabled, 1);
    const QByteArray before = home.Read(home.Registry_File());
    Save_Setting(99, QStringLiteral("x"));
    Write_Registry_Value(0x80000002u, kProgramKey, QStringLiteral("Log_Enabled"), 0);
    EXPECT_EQ(home.Read(home.Registry_File()), before);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(
        Read_Registry_Value(0x80000002u, kProgramKey, QStringLiteral("Log_Enabled"))));
    EXPECT_EQ(Get_Setting(99), QString());
}

TEST(Registry, FirstWriteCreatesTheFolderAndTheFileFollowsTheEnvironment)
{
    test::Temp_Home home;
    QDir(home.Config_Home()).removeRecursively();
    EXPECT_EQ(Registry_File(), home.Registry_File());
    EXPECT_EQ(Get_Setting(Contact_Action), QString());

    Save_Setting(Contact_Action, 1);
    EXPECT_EQ(home.Read(home.Registry_File()), QByteArray("REGEDIT4\n\n"
                                                          "[HKEY_CURRENT_USER\\Software\\Brindlecast]\n"
                                                          "\"Contact_Action\"=dword:00000001\n"));

    // A second home sees none of the first one's values.
    {
        test::Temp_Home other;
        EXPECT_EQ(Registry_File(), other.Registry_File());
        EXPECT_EQ(Get_Setting(Contact_Action), QString());
    }
    EXPECT_EQ(Get_Setting(Contact_Action), QStringLiteral("1"));
}

TEST(Registry, SettingNumberTakesTheLeadingNumber)
{
    const std::pair<const char*, int> cases[] = {
        {"3abc", 3},
        {"", 0},
        {" -1", -1},
        {"2", 2},
        {"x", 0},
        {"1", 1},
        {"0", 0},
        {"1 2", 12},
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"1,000", 1},
        {"1e3", 1000},
        {"1e", 1},
        {"+7", 7},
        {"--1", 0},
        {"&H1F", 31},
        {"&hFFFF", -1},
        {"&O17", 15},
        {"&H10000", 65536},
        {".5", 0},
        {"1.5x", 2},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
        {"\t4\n", 4},
    };
    for (const auto& [text, number] : cases)
        EXPECT_EQ(Setting_Number(QString::fromLatin1(text)), number) << text;
}

namespace {

// Points HOME (and one more variable) elsewhere for one test.
class Scoped_Env
{
public:
    Scoped_Env(const char* name, const QByteArray& value) : name_(name)
    {
        had_ = qEnvironmentVariableIsSet(name);
        old_ = qgetenv(name);
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~Scoped_Env()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }
    Scoped_Env(const Scoped_Env&) = delete;
    Scoped_Env& operator=(const Scoped_Env&) = delete;

private:
    const char* name_;
    bool had_ = false;
    QByteArray old_;
};

void Set_Home_Dir(const QString& folder)
{
    Write_Registry_Value(HKEY_CURRENT_USER, kSuiteKey, QStringLiteral("HomeDir"), folder);
}

} // namespace

TEST(DataFolder, WithoutHomeDirTheUsersDataFolderIsCreated)
{
    test::Temp_Home home;
    ASSERT_FALSE(QFileInfo::exists(home.Data_Folder()));

    EXPECT_EQ(Set_Data_Folder(), home.Data_Folder());
    EXPECT_EQ(App().Data_Folder, home.Data_Folder());
    EXPECT_TRUE(QFileInfo(home.Data_Folder()).isDir());
    EXPECT_EQ(Data_File(QStringLiteral("dbdata-outlook.dat")), home.Data_Folder() + "dbdata-outlook.dat");

    // An empty HomeDir, as a cleared one is stored, counts as none.
    Set_Home_Dir(QString());
    EXPECT_EQ(Set_Data_Folder(), home.Data_Folder());
}

TEST(DataFolder, FallsBackToTheHomeFolderWhenTheDataVariableIsUnsetOrRelative)
{
    test::Temp_Home home;
    const QString fakeHome = home.Path() + QStringLiteral("/user");
    Scoped_Env homeVar("HOME", fakeHome.toLocal8Bit());
    const QString expected = fakeHome + QStringLiteral("/.local/share/Brindlecast/");
    {
        Scoped_Env data("XDG_DATA_HOME", QByteArray());
        EXPECT_EQ(Set_Data_Folder(), expected);
        EXPECT_TRUE(QFileInfo(expected).isDir());
    }
    {
        Scoped_Env data("XDG_DATA_HOME", "relative/data");
        EXPECT_EQ(Set_Data_Folder(), expected);
    }
    {
        Scoped_Env config("XDG_CONFIG_HOME", QByteArray());
        EXPECT_EQ(Registry_File(), fakeHome + QStringLiteral("/.config/Brindlecast/registry.reg"));
    }
}

TEST(DataFolder, HomeDirIsUsedWithOneTrailingSlash)
{
    test::Temp_Home home;
    const QString shared = home.Path() + QStringLiteral("/suite data");

    Set_Home_Dir(shared);
    EXPECT_EQ(Set_Data_Folder(), shared + u'/');
    EXPECT_TRUE(QFileInfo(shared).isDir());
    EXPECT_EQ(Data_File(QStringLiteral("search_strings.txt")),
              shared + QStringLiteral("/search_strings.txt"));
    EXPECT_FALSE(QFileInfo::exists(home.Data_Folder())); // the default stays untouched

    Set_Home_Dir(shared + u'/');
    EXPECT_EQ(Set_Data_Folder(), shared + u'/');
    EXPECT_EQ(App().Data_Folder, shared + u'/');
}
