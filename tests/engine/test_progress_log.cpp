// Progress lines: the progress view, standard output in an unattended run,
// the log file when logging is enabled, and the yield.

#include "Engine_Test_Profile.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

using namespace bc;
using namespace bc::engine;

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

TEST_F(Progress_Log_Test, LinesGoToTheViewAndNoLogUnlessEnabled)
{
    Add_Item_To_List("first");
    Save_Setting(Log_Enabled, 0);
    Add_Item_To_List("second");
    Save_Setting(Log_Enabled, 2);
    Add_Item_To_List("third");
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

TEST_F(Progress_Log_Test, UnattendedRunPrintsInsteadOfShowing)
{
    App().Auto_Run = true;
    testing::internal::CaptureStdout();
    Add_Item_To_List("Logging into Outlook Mailbox");
    Add_Item_To_List("Scanning Inbox for Invalid Emails...");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Logging into Outlook Mailbox\nScanning Inbox for Invalid Emails...\n");
    EXPECT_TRUE(view.lines.isEmpty());
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
