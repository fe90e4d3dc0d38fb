#include "config/App_State.h"
#include "config/Contact_Folder_List.h"
#include "config/Identifier_Lists.h"
#include "config/Registry_Routines.h"
#include "config/Text_File.h"
#include "support/File_Size_Limit.h"
#include "support/Temp_Home.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace bc;

TEST(TextFile, Cp1252RoundTripsWesternTextAndMarksTheRest)
{
    const QString text = QStringLiteral("Müller € “quoted” – Ω");
    const QByteArray bytes = To_Cp1252(text);
    EXPECT_EQ(bytes, QByteArray("M\xFCller \x80 \x93quoted\x94 \x96 ?"));
    EXPECT_EQ(From_Cp1252(bytes), QStringLiteral("Müller € “quoted” – ?"));
    const QByteArray unassigned("\x81\x8D\x8F\x90\x9D", 5);
    EXPECT_EQ(To_Cp1252(From_Cp1252(unassigned)), unassigned);
}

TEST(TextFile, LinesAcceptCrLfAndLfAndWriteCrLf)
{
    EXPECT_EQ(Split_Lines("a\r\nb\nc"), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(Split_Lines("a\r\n\r\nb\r\n"), (QStringList{"a", "", "b"}));
    EXPECT_TRUE(Split_Lines("").isEmpty());
    EXPECT_EQ(Join_Lines({"x", "Müller"}), QByteArray("x\r\nM\xFCller\r\n"));
}

TEST(TextFile, AtomicWriteReplacesWholeFileAndFailureKeepsTheOld)
{
    test::Temp_Home home;
    const QString path = home.Write("data/list.txt", "old\r\n");
    ASSERT_TRUE(Write_File_Atomically(path, "new\r\n"));
    EXPECT_EQ(home.Read(path), QByteArray("new\r\n"));

    // A write cut short half-way (disk full, size limit) must not replace
    // the old file with the shortened one.
    QString error;
    bool ok = true;
    {
        test::File_Size_Limit limit(20);
        ok = Write_File_Atomically(path, QByteArray(600, 'x'), &error);
    }
    EXPECT_FALSE(ok);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(home.Read(path), QByteArray("new\r\n"));
    EXPECT_EQ(QDir(home.Data_Home()).entryList(QDir::Files).size(), 1) << "temporary file left";
}

TEST(TextFile, ForceDeleteRemovesReadOnlyFiles)
{
    test::Temp_Home home;
    const QString path = home.Write("data/ro.dat", "x");
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    EXPECT_TRUE(Force_Delete_File(path));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(Force_Delete_File(path)); // already gone
}

namespace {

// What may stand in a data file's place: none of them is read, none blocks.
enum class Stand_In
{
    Named_Pipe,
    Link_To_Dev_Zero,
};

void Put_Stand_In(const QString& path, Stand_In kind)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray name = QFile::encodeName(path);
    if (kind == Stand_In::Named_Pipe)
        ASSERT_EQ(::mkfifo(name.constData(), 0600), 0);
    else
        ASSERT_EQ(::symlink("/dev/zero", name.constData()), 0);
}

bool Still_Stand_In(const QString& path, Stand_In kind)
{
    struct stat st = {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 &&
           (kind == Stand_In::Named_Pipe ? S_ISFIFO(st.st_mode) : S_ISLNK(st.st_mode));
}

// A read that blocks ends the test program instead of hanging it.
struct Hang_Guard
{
    Hang_Guard() { ::alarm(60); }
    ~Hang_Guard() { ::alarm(0); }
};

} // namespace

TEST(TextFile, OnlyRegularFilesWithinTheLimitAreRead)
{
    Hang_Guard guard;
    test::Temp_Home home;
    struct Case
    {
        const char* name;
        std::function<void(const QString&)> make;
        qint64 limit;
        const char* refusal; // nullptr: read
    };
    const auto bytes = [](qint64 n) {
        return [n](const QString& path) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            ASSERT_TRUE(file.resize(n)); // sparse: a huge file costs no disk
        };
    };
    const Case cases[] = {
        {"at the limit", bytes(100), 100, nullptr},
        {"beyond the limit", bytes(101), 100, "larger than 100 bytes"},
        {"beyond the default limit", bytes(kMax_Data_File_Size + 1), kMax_Data_File_Size,
         "larger than 256 MB"},
        {"named pipe", [](const QString& p) { Put_Stand_In(p, Stand_In::Named_Pipe); }, 100, "a named pipe"},
        {"link to /dev/zero", [](const QString& p) { Put_Stand_In(p, Stand_In::Link_To_Dev_Zero); },
         kMax_Data_File_Size, "a device"},
        {"folder", [](const QString& p) { QDir().mkpath(p); }, 100, "a folder"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString path = home.Path() + QStringLiteral("/file%1").arg(++n);
        c.make(path);
        QByteArray data;
        QString error;
        const bool read = Read_Whole_File(path, data, &error, c.limit);
        if (!c.refusal) {
            EXPECT_TRUE(read) << c.name << ": " << error.toStdString();
            EXPECT_EQ(data.size(), 100) << c.name;
            continue;
        }
        EXPECT_FALSE(read) << c.name;
        EXPECT_TRUE(error.startsWith(path) && error.contains(QLatin1String(c.refusal)))
            << error.toStdString();
        // Opened to append, a stand-in is refused the same way.
        EXPECT_EQ(Open_Regular_File(path, O_RDWR | O_CREAT, c.limit), -1) << c.name;
    }
}

// Every data file of the program, with a named pipe or a link to /dev/zero
// in its place: the load reports it at once and the stand-in stays.
TEST(TextFile, DataFilesRefuseStandInsWithAMessage)
{
    Hang_Guard guard;
    struct Case
    {
        const char* file;
        std::function<QString()> load; // what the user is told, when not in a message
    };
    const Case cases[] = {
        {"settings",
         [] {
             Save_Setting(Log_Enabled, 1);
             QString problem;
             return Get_Setting(Log_Enabled).isEmpty() && !Setting_Stored(Contact_Action, &problem)
                        ? problem
                        : QString();
         }},
        {"search_strings.txt",
         [] {
             Setup_Search_Strings();
             EXPECT_FALSE(Append_Search_String(QStringLiteral("returned mail")));
             return QString();
         }},
        {"No_Check_Strings.txt",
         [] {
             Setup_No_Check();
             return QString();
         }},
        {"dbdata-outlook.dat",
         [] {
             QString error;
             return Load_Contact_Folder_List(&error) ? QString() : error;
         }},
    };
    for (Stand_In kind : {Stand_In::Named_Pipe, Stand_In::Link_To_Dev_Zero}) {
        for (const Case& c : cases) {
            test::Temp_Home home;
            App().Data_Folder = home.Data_Folder();
            testing::internal::CaptureStderr();
            const QString file = QLatin1String(c.file);
            const QString path =
                file == QLatin1String("settings") ? home.Registry_File() : home.Data_Folder() + file;
            Put_Stand_In(path, kind);
            QString told = c.load();
            // Without windows, messages go to standard error.
            const QString messages = QString::fromStdString(testing::internal::GetCapturedStderr());
            if (told.isEmpty())
                told = messages;
            EXPECT_TRUE(told.contains(path) && told.contains(QLatin1String("not a regular file")))
                << c.file << ": " << told.toStdString();
            EXPECT_TRUE(Still_Stand_In(path, kind)) << c.file;
        }
    }
}
