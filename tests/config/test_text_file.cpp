#include "config/Text_File.h"
#include "support/File_Size_Limit.h"
#include "support/Temp_Home.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <gtest/gtest.h>

using namespace bc;

TEST(TextFile, Cp1252RoundTripsWesternTextAndMarksTheRest)
{
    const QString text = QStringLiteral("Müller € “quoted” – Ω");
    const QByteArray bytes = To_Cp1252(text);
    EXPECT_EQ(bytes, QByteArray("M\xFCller \x80 \x93quoted\x94 \x96 ?"));
    EXPECT_EQ(From_Cp1252(bytes), QStringLiteral("Müller € “quoted” – ?"));
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

TEST(TextFile, UnassignedCodesRoundTrip)
{
    const QByteArray bytes("\x81\x8D\x8F\x90\x9D", 5);
    EXPECT_EQ(To_Cp1252(From_Cp1252(bytes)), bytes);
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
