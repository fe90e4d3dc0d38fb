// The settings file as other programs, crashes and damage leave it: what
// the program does not own survives a save, and nothing in it brings the
// program down.

#include "config/Registry_File_Format.h"
#include "config/Registry_Routines.h"
#include "support/Qt_Print.h"
#include "support/Temp_Home.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <map>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace bc;

namespace {

// Every selector there is, and some that are none.
void Read_Everything()
{
    for (qint16 selector = -1; selector <= 41; ++selector)
        (void)Get_Setting(selector);
}

} // namespace

TEST(RegistryFile, WhatTheProgramDoesNotKnowSurvivesASave)
{
    test::Temp_Home home;
    const QByteArray head =
        "Windows Registry Editor Version 5.00\r\n"
        "\r\n"
        "; exported by hand\r\n"
        "[HKEY_CURRENT_USER\\Software\\Other Program]\r\n"
        "\"Path\"=\"C:\\\\Other\"\r\n"
        "\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
        "  16,17,18\r\n"
        "@=\"default\"\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Software\\Brindlecast]\r\n"
        "\"Window_Left\"=dword:00000064\r\n";
    const QByteArray tail = "\"Unknown_Expand\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,00,00\r\n"
                            "\r\n"
                            "[HKEY_LOCAL_MACHINE\\Software\\Brindlecast]\r\n"
                            "\"ToDo_Regarding\"=\"machine-wide, never read\"\r\n";
    home.Write("config/Brindlecast/registry.reg", head + "\"ToDo_Regarding\"=\"Old text\"\r\n" + tail);

    EXPECT_EQ(Get_Setting(ToDo_Regarding), QStringLiteral("Old text"));
    Save_Setting(ToDo_Regarding, QStringLiteral("New text"));
    EXPECT_EQ(home.Read(home.Registry_File()), head + "\"ToDo_Regarding\"=\"New text\"\r\n" + tail);

    // A new value joins the program's section, after its last value, in the
    // file's own line ends.
    Save_Setting(Log_Enabled, 1);
    EXPECT_EQ(home.Read(home.Registry_File()),
              head + "\"ToDo_Regarding\"=\"New text\"\r\n" +
                  "\"Unknown_Expand\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,00,00\r\n"
                  "\"Log_Enabled\"=dword:00000001\r\n" +
                  tail.mid(tail.indexOf("\r\n") + 2));
}

TEST(RegistryFile, AHandWrittenFileGetsItsHeaderAndKeepsItsStyle)
{
    test::Temp_Home home;
    // A byte order mark, no header line, CR LF line ends, no final line end.
    home.Write("config/Brindlecast/registry.reg", "\xEF\xBB\xBF[HKEY_CURRENT_USER\\Software\\Brindlecast]\r\n"
                                                  "\"ToDo_Status\"=\"Call\"");
    EXPECT_EQ(Get_Setting(ToDo_Status), QStringLiteral("Call"));

    Save_Setting(ToDo_Priority, QStringLiteral("High"));
    EXPECT_EQ(home.Read(home.Registry_File()), QByteArray("\xEF\xBB\xBFREGEDIT4\r\n\r\n"
                                                          "[HKEY_CURRENT_USER\\Software\\Brindlecast]\r\n"
                                                          "\"ToDo_Status\"=\"Call\"\r\n"
                                                          "\"ToDo_Priority\"=\"High\"\r\n"));
    EXPECT_EQ(Get_Setting(ToDo_Status), QStringLiteral("Call"));
    EXPECT_EQ(Get_Setting(ToDo_Priority), QStringLiteral("High"));

    // A key that is not there yet comes after a blank line.
    Write_Registry_Value(HKEY_CURRENT_USER, kSuiteKey, QStringLiteral("HomeDir"),
                         QStringLiteral("/srv/mail"));
    EXPECT_TRUE(home.Read(home.Registry_File())
                    .endsWith("\"ToDo_Priority\"=\"High\"\r\n\r\n"
                              "[HKEY_CURRENT_USER\\Software\\Quorin_OEmail_Suite]\r\n"
                              "\"HomeDir\"=\"/srv/mail\"\r\n"));
    EXPECT_EQ(Get_Setting(HomeDir), QStringLiteral("/srv/mail"));
}

TEST(RegistryFile, LongBinaryTextIsWrittenInContinuedLinesAndReadBack)
{
    test::Temp_Home home;
    const QString long_text = QStringLiteral("a line\nand a very long second line ") + QString(200, u'x');
    Save_Setting(ToDo_Regarding, long_text);
    Save_Setting(ToDo_Priority, QStringLiteral("Low"));
    EXPECT_EQ(Get_Setting(ToDo_Regarding), long_text);
    EXPECT_EQ(Get_Setting(ToDo_Priority), QStringLiteral("Low"));
    for (const QByteArray& line : home.Read(home.Registry_File()).split('\n'))
        EXPECT_LE(line.size(), 80) << line.constData();
}

TEST(RegistryFile, DamagedLinesAreSkippedOnReadAndKeptOnSave)
{
    test::Temp_Home home;
    const QByteArray damaged = "REGEDIT4\n"
                               "\n"
                               "[HKEY_CURRENT_USER\\Software\\Brindlecast]\n"
                               "this line means nothing\n"
                               "\"Contact_Action\"=dword:1\n" // too short: cut off
                               "\"Log_Enabled\"=dword:00000001\n"
                               "\"ToDo_Alarm\"=dword:0000000g\n"
                               "\"Email_Inbox_Folder\"=hex(1):41,4\n" // cut mid-byte
                               "\"ToDo_Status\"=\"no closing quote\n"
                               "\"Email_Inbox_Entry_ID\"=\"0000ABCD\"\n"
                               "\"Broken\"=strange:1\n"
                               "garbage \x01\x02\xff\xfe with bytes that are not UTF-8\n"
                               "[unterminated section\n"
                               "\"Email_Inbox_StoreID\"=\"1234ABCD\"\n" // still inside the program's key
                               "\"CreateANote\"=hex(1):31,\\\n";        // continued, then the file ends
    home.Write("config/Brindlecast/registry.reg", damaged);

    EXPECT_EQ(Get_Setting(Contact_Action), QString());
    EXPECT_EQ(Get_Setting(Log_Enabled), QStringLiteral("1"));
    EXPECT_EQ(Get_Setting(ToDo_Alarm), QString());
    EXPECT_EQ(Get_Setting(Email_Inbox_Folder), QString());
    EXPECT_EQ(Get_Setting(ToDo_Status), QString());
    EXPECT_EQ(Get_Setting(Email_Inbox_Entry_ID), QStringLiteral("0000ABCD"));
    EXPECT_EQ(Get_Setting(Email_Inbox_StoreID), QStringLiteral("1234ABCD"));
    EXPECT_EQ(Get_Setting(CreateANote), QStringLiteral("1"));

    // Saving one value keeps every line it does not replace, byte for byte;
    // a damaged line of the saved value itself gives way to the new one.
    Save_Setting(ToDo_Alarm, 1);
    QByteArray expected = damaged;
    expected.replace("\"ToDo_Alarm\"=dword:0000000g\n", "\"ToDo_Alarm\"=dword:00000001\n");
    EXPECT_EQ(home.Read(home.Registry_File()), expected);
    EXPECT_EQ(Get_Setting(ToDo_Alarm), QStringLiteral("1"));
    EXPECT_EQ(Get_Setting(Log_Enabled), QStringLiteral("1"));
}

// Quoted text and dwords carry their own end, so a file cut anywhere never
// yields a shortened text or a smaller number.
TEST(RegistryFile, ACutOffFileReadsEachValueWholeOrNotAtAll)
{
    test::Temp_Home home;
    const Setting saved[] = {Contact_Action, ToDo_Regarding, Email_What_To_Do, ToDo_Priority,
                             Email_Destination_Folder};
    Save_Setting(Contact_Action, 1);
    Save_Setting(ToDo_Regarding, QStringLiteral("Returned \"Email\" C:\\x"));
    Save_Setting(Email_What_To_Do, 3);
    Save_Setting(ToDo_Priority, -5);
    Save_Setting(Email_Destination_Folder, QStringLiteral("Inbox/Bounces"));
    std::map<Setting, QString> full;
    for (Setting s : saved)
        full[s] = Get_Setting(s);
    const QByteArray whole = home.Read(home.Registry_File());

    for (qsizetype length = 0; length < whole.size(); ++length) {
        home.Write("config/Brindlecast/registry.reg", whole.left(length));
        for (Setting s : saved) {
            const QString read = Get_Setting(s);
            ASSERT_TRUE(read.isEmpty() || read == full[s])
                << "cut at " << length << ": " << read.toStdString();
        }
    }
    // The last line end is all that is missing: every value is there.
    for (Setting s : saved)
        EXPECT_EQ(Get_Setting(s), full[s]);
}

TEST(RegistryFile, BinaryGarbageDoesNotStopTheProgramNorGetLost)
{
    for (quint32 seed : {1u, 2u, 3u, 4u, 5u}) {
        test::Temp_Home home;
        QRandomGenerator random(seed);
        QByteArray garbage(int(random.bounded(1, 4096)), '\0');
        for (char& c : garbage)
            c = char(random.bounded(256));
        home.Write("config/Brindlecast/registry.reg", garbage);

        Read_Everything();
        Save_Setting(ToDo_Regarding, QStringLiteral("kept"));
        Save_Setting(Log_Enabled, 1);
        EXPECT_EQ(Get_Setting(ToDo_Regarding), QStringLiteral("kept")) << seed;
        EXPECT_EQ(Get_Setting(Log_Enabled), QStringLiteral("1")) << seed;
        EXPECT_TRUE(home.Read(home.Registry_File()).contains(garbage)) << seed;
    }
}

TEST(RegistryFile, AFileThatCannotBeReadIsNeverReplaced)
{
    test::Temp_Home home;
    // The settings file's name taken by a folder: nothing reads, nothing writes.
    QDir().mkpath(home.Registry_File());
    Save_Setting(Log_Enabled, 1);
    EXPECT_EQ(Get_Setting(Log_Enabled), QString());
    EXPECT_TRUE(QFileInfo(home.Registry_File()).isDir());
    QDir(home.Registry_File()).removeRecursively();

    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const QByteArray content =
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Brindlecast]\n\"Log_Enabled\"=dword:00000000\n";
    home.Write("config/Brindlecast/registry.reg", content);
    QFile::setPermissions(home.Registry_File(), QFileDevice::WriteOwner);
    EXPECT_EQ(Get_Setting(Log_Enabled), QString());
    Save_Setting(ToDo_Regarding, QStringLiteral("x"));
    QFile::setPermissions(home.Registry_File(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(home.Read(home.Registry_File()), content);
}

TEST(RegistryFile, ConcurrentWritersLoseNoValue)
{
    test::Temp_Home home;
    constexpr int kEach = 200;
    auto save_all = [](const QString& prefix) {
        for (int i = 0; i < kEach; ++i)
            Write_Registry_Value(HKEY_CURRENT_USER, kProgramKey, prefix + QString::number(i), i);
    };

    // Another running instance of the program.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        save_all(QStringLiteral("Process_"));
        _exit(0);
    }
    std::thread other([&] { save_all(QStringLiteral("Thread_")); });
    save_all(QStringLiteral("Main_"));
    other.join();
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    int present = 0;
    for (const QString& prefix :
         {QStringLiteral("Process_"), QStringLiteral("Thread_"), QStringLiteral("Main_")})
        for (int i = 0; i < kEach; ++i)
            present += Read_Registry_Value(HKEY_CURRENT_USER, kProgramKey, prefix + QString::number(i)) ==
                       Reg_Value(qint32(i));
    EXPECT_EQ(present, 3 * kEach);

    // No temporary file is left beside the settings.
    EXPECT_EQ(QDir(QFileInfo(home.Registry_File()).absolutePath()).entryList(QDir::Files).join(u' '),
              QStringLiteral("registry.reg registry.reg.lock"));
}

// The reader and the writer agree on where a line ends, whatever ends it, so
// a saved value is never glued onto the line before it.
TEST(RegistryFile, EveryLineEndEndsALineAndASaveNeverJoinsTwo)
{
    const QByteArray head = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Brindlecast]\n";
    const QByteArray action = "\"Contact_Action\"=dword:00000001";
    const std::pair<const char*, QByteArray> cases[] = {
        {"last line ends in a bare CR", head + action + "\r"},
        {"bare CR between two values", head + action + "\r\"Log_Enabled\"=dword:00000001\n"},
        {"every line ends in a bare CR", QByteArray(head).replace('\n', '\r') + action + "\r"},
        {"CR LF", QByteArray(head).replace("\n", "\r\n") + action + "\r\n"},
        {"no line end at the end", head + action},
    };
    const QString section = QStringLiteral("HKEY_CURRENT_USER\\Software\\Brindlecast");
    for (const auto& [name, file] : cases) {
        test::Temp_Home home;
        home.Write("config/Brindlecast/registry.reg", file);
        EXPECT_EQ(Get_Setting(Contact_Action), QStringLiteral("1")) << name;
        Save_Setting(ToDo_Regarding, QStringLiteral("Returned Email"));
        Save_Setting(CreateANote, 1);
        // What is on disk, not what the store remembers.
        const QByteArray saved = home.Read(home.Registry_File());
        const auto document = reg::Reg_Document::Parse(saved);
        EXPECT_EQ(document.Find(section, QStringLiteral("Contact_Action")), reg::Stored_Value::Dword(1))
            << name;
        EXPECT_EQ(document.Find(section, QStringLiteral("ToDo_Regarding")),
                  reg::Stored_Value::Text(QStringLiteral("Returned Email")))
            << name;
        EXPECT_EQ(document.Find(section, QStringLiteral("CreateANote")), reg::Stored_Value::Dword(1)) << name;
        EXPECT_TRUE(saved.startsWith(file)) << name;
    }
}

namespace {

QByteArray Utf16(const QString& text)
{
    QByteArray out;
    for (QChar c : text)
        out += char(c.unicode() & 0xFF) + QByteArray(1, char(c.unicode() >> 8));
    return out;
}

} // namespace

// regedit 5 exports are UTF-16; they are read, and written back as UTF-16 so
// that regedit can import them again.
TEST(RegistryFile, Regedit5ExportsAreReadAndStayUtf16)
{
    test::Temp_Home home;
    const QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                                        "[HKEY_CURRENT_USER\\Software\\Brindlecast]\r\n"
                                        "\"Contact_Action\"=dword:00000001\r\n"
                                        "\"ToDo_Regarding\"=\"Rückruf\"\r\n"
                                        "\"Multi\"=hex(1):4b,00,e4,00,00,00\r\n");
    const QByteArray bom = "\xFF\xFE";
    home.Write("config/Brindlecast/registry.reg", bom + Utf16(text));
    EXPECT_EQ(Get_Setting(Contact_Action), QStringLiteral("1"));
    EXPECT_EQ(Get_Setting(ToDo_Regarding), QStringLiteral("Rückruf"));
    EXPECT_EQ(Read_Registry_Value(HKEY_CURRENT_USER, kProgramKey, QStringLiteral("Multi")),
              Reg_Value(QStringLiteral("Kä")));

    Save_Setting(ToDo_Priority, QStringLiteral("Höchste"));
    Write_Registry_Value(HKEY_CURRENT_USER, kProgramKey, QStringLiteral("T"), QStringLiteral("a\nb"));
    EXPECT_EQ(home.Read(home.Registry_File()),
              bom + Utf16(text + "\"ToDo_Priority\"=\"Höchste\"\r\n"
                                 "\"T\"=hex(1):61,00,0a,00,62,00,00,00\r\n"));

    // One odd byte at the end would not come back: read, but never replaced.
    const QByteArray damaged = bom + Utf16(text) + "\x41";
    home.Write("config/Brindlecast/registry.reg", damaged);
    EXPECT_EQ(Get_Setting(ToDo_Regarding), QStringLiteral("Rückruf"));
    Save_Setting(ToDo_Priority, QStringLiteral("Low"));
    EXPECT_EQ(home.Read(home.Registry_File()), damaged);
}

// The file is parsed once, but a change made by anyone else is read at once.
TEST(RegistryFile, AChangeOnDiskIsSeenAtTheNextRead)
{
    test::Temp_Home home;
    Save_Setting(ToDo_Regarding, QStringLiteral("first"));
    ASSERT_EQ(Get_Setting(ToDo_Regarding), QStringLiteral("first"));
    const QByteArray saved = home.Read(home.Registry_File());

    // Edited in place, to the same size.
    QByteArray edited = saved;
    edited.replace("first", "other");
    home.Write("config/Brindlecast/registry.reg", edited);
    EXPECT_EQ(Get_Setting(ToDo_Regarding), QStringLiteral("other"));
    // Replaced by another file.
    QFile::remove(home.Registry_File());
    home.Write("config/Brindlecast/registry.reg", saved);
    EXPECT_EQ(Get_Setting(ToDo_Regarding), QStringLiteral("first"));
    // Gone.
    QFile::remove(home.Registry_File());
    EXPECT_EQ(Get_Setting(ToDo_Regarding), QString());
}
