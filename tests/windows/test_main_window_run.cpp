// Processing runs started from the real main window on a temporary mail
// profile: the progress window's lines, bar and status, the contacts and
// messages afterwards, Close during a run, the log file with its viewer, the
// entries that cannot start while a run is under way, and the run's preview,
// report and undo.

#include "Main_Window_Support.h"
#include "engine/Engine_Test_Profile.h"
#include "windows/Database_List.h"
#include "windows/Processing_Entry.h"
#include "windows/frmRunReport.h"
#include "windows/frmStatusAnalysis.h"
#include "windows/frmViewLog.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTimer>
#include <QTreeView>

#include <functional>
#include <memory>

using bc::test::Click;
using bc::test::Click_Box;
using bc::test::Find;
using bc::test::Let_Deferred_Deletes_Run;
using bc::windows::frmMain;
using bc::windows::frmRunReport;
using bc::windows::frmStatusAnalysis;
using bc::windows::frmViewLog;
using bc::windows::Message_Box;

namespace {

const QString kRule = QString(44, QLatin1Char('-'));
const QString kDone = QStringLiteral("Processing Done. No more emails to process.");
const QString kBounceSubject = QStringLiteral("Undelivered Mail Returned to Sender");
const QString kFoundBob =
    QStringLiteral("Found Matching Contact. Contact Name: Bob Smith Email Address: bob@example.com");

// The rows the progress window shows (all of them once a run has ended).
QStringList Progress_Lines()
{
    QStringList lines;
    if (!frmStatusAnalysis::Is_Loaded())
        return lines;
    const auto* list = frmStatusAnalysis::Instance().findChild<QTreeView*>(QStringLiteral("ListContacts"));
    for (int i = 0; i < list->model()->rowCount(); ++i)
        lines << list->model()->index(i, 1).data().toString();
    return lines;
}

QString Status()
{
    return frmStatusAnalysis::Instance().findChild<QLabel*>(QStringLiteral("lblStatus"))->text();
}

} // namespace

class Test_Main_Window_Run : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<bc::test::Engine_Profile> profile_;
    std::unique_ptr<frmMain> window_;
    QString bob_;
    QByteArray bobBefore_;

    // An Inbox with one returned message for bob and one ordinary message,
    // Bob's contact in "Contacts", and a "Bounced" mail folder as the move
    // target; the folder list is on disk before the window loads.
    void Make_Profile()
    {
        profile_ = std::make_unique<bc::test::Engine_Profile>();
        bc::windows::Install_Message_Boxes(); // the profile installs a recorder; the window shows boxes
        Message_Box::clearShown();
        profile_->Add_Message(kBounceSubject,
                              QStringLiteral("This is the mail system.\r\n\r\n<bob@example.com>: host "
                                             "mx.example.com said: 550 no such user\r\n"));
        profile_->Add_Message(QStringLiteral("Lunch"), QStringLiteral("See you at noon.\r\n"));
        bob_ = profile_->Add_Contact(QStringLiteral("a.vcf"), QStringLiteral("Bob Smith"),
                                     {QStringLiteral("bob@example.com")});
        bobBefore_ = profile_->home.Read(bob_);
        profile_->Add_Database(QStringLiteral("Contacts"));
        profile_->Move_Returned_Messages_To(QStringLiteral("Bounced"));
    }

    void Open_Window()
    {
        QVERIFY(bc::Save_Contact_Folder_List());
        window_ = std::make_unique<frmMain>();
        bc::windows::Install_Processing(*window_);
        QVERIFY(window_->Load(QString()));
        QCOMPARE(Message_Box::shown(), QStringList());
    }

    // Runs `action` (once) inside the run's yield that follows the first
    // progress line satisfying `when`.
    void On_Line(std::function<bool(const QString&)> when, std::function<void()> action)
    {
        frmStatusAnalysis* window = &frmStatusAnalysis::Instance();
        auto fired = std::make_shared<bool>(false);
        connect(window, &frmStatusAnalysis::Line_Added, window, [=](const QString& line) {
            if (*fired || !when(line))
                return;
            *fired = true;
            QTimer::singleShot(0, window, action);
        });
    }

    QPushButton* Button(const char* name) const { return Find<QPushButton>(window_.get(), name); }
    void Trigger(const char* action) { Find<QAction>(window_.get(), action)->trigger(); }
    QStringList Inbox() const { return profile_->Files(QStringLiteral("Inbox")); }
    QStringList Bounced() const { return profile_->Files(QStringLiteral("Bounced")); }

private Q_SLOTS:
    void cleanup()
    {
        if (frmViewLog* viewer = frmViewLog::Loaded())
            viewer->close();
        if (frmRunReport* report = frmRunReport::Loaded())
            report->close();
        if (frmStatusAnalysis::Is_Loaded())
            frmStatusAnalysis::Instance().close();
        window_.reset();
        Let_Deferred_Deletes_Run();
        profile_.reset();
    }

    void all_deletes_the_matching_contact_and_moves_the_returned_message()
    {
        Make_Profile();
        Open_Window();
        Click(Button("ScanEmails"));
        QCOMPARE(Progress_Lines(),
                 QStringList({"Logging into Outlook Mailbox", "Scanning Inbox for Invalid Emails...",
                              "Bounced Email Found: " + kBounceSubject, "Scanning Folder: Contacts",
                              "Opening the Outlook Contact Folder.", kFoundBob,
                              "Deleted Contact. Contact Name: Bob Smith",
                              "Found 1 contacts with returned email", "Scan on database: Contacts is done.",
                              "Post Email Action", "Moving/Deleting Email", kRule, kDone}));
        QVERIFY(frmStatusAnalysis::Instance().isVisible());
        QVERIFY(!QFile::exists(bob_));
        QCOMPARE(Inbox().size(), 1); // the ordinary message stays
        QCOMPARE(Bounced().size(), 1);
        QCOMPARE(Message_Box::shown(), QStringList());
        QVERIFY(!bc::engine::Flags().Run_In_Progress);
        QVERIFY(!bc::engine::Flags().Processing_Active);
    }

    void selected_runs_only_the_selected_database()
    {
        Make_Profile();
        const QString other =
            profile_->Add_Contact(QStringLiteral("c.vcf"), QStringLiteral("Bob Again"),
                                  {QStringLiteral("bob@example.com")}, {}, QStringLiteral("Friends"));
        profile_->Add_Database(QStringLiteral("Friends"), QStringLiteral("Friends"));
        Open_Window();
        auto* list = window_->Databases();
        QCOMPARE(list->topLevelItemCount(), 2);
        QTreeWidgetItem* friends = list->topLevelItem(1);
        QCOMPARE(friends->text(1), QStringLiteral("Friends"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(friends).center());
        QVERIFY(friends->isSelected());
        QVERIFY(!list->topLevelItem(0)->isSelected());

        Click(Button("ProcessCurrent"));
        const QStringList lines = Progress_Lines();
        QVERIFY2(lines.contains(QStringLiteral("Scanning Folder: Friends")), qPrintable(lines.join('|')));
        QVERIFY(!lines.contains(QStringLiteral("Scanning Folder: Contacts")));
        QVERIFY(lines.contains(QStringLiteral("Deleted Contact. Contact Name: Bob Again")));
        QCOMPARE(lines.last(), kDone);
        QVERIFY(!QFile::exists(other));
        QVERIFY(QFile::exists(bob_));
        QCOMPARE(Bounced().size(), 1);
    }

    // Escape and the close box take the same way (test_progress_window).
    void close_during_a_run_stops_it_and_close_afterwards_closes_the_window()
    {
        Make_Profile();
        Open_Window();
        bool activeAtClose = false;
        On_Line([](const QString& line) { return line == kFoundBob; },
                [&] {
                    activeAtClose = bc::engine::Flags().Processing_Active;
                    Message_Box::setNextAnswer(QMessageBox::Ok);
                    Click(Find<QPushButton>(&frmStatusAnalysis::Instance(), "CloseForm"));
                });
        Click(Button("ScanEmails"));
        QVERIFY(activeAtClose);
        QCOMPARE(Message_Box::shown(), QStringList({"Processing Stopped"}));
        QVERIFY(frmStatusAnalysis::Is_Loaded());
        QVERIFY(frmStatusAnalysis::Instance().isVisible());
        const QStringList lines = Progress_Lines();
        QVERIFY2(lines.contains(QStringLiteral("Processing aborted and stopped.")),
                 qPrintable(lines.join('|')));
        QVERIFY(!lines.contains(QStringLiteral("Moving/Deleting Email")));
        QCOMPARE(lines.last(), kDone);
        QCOMPARE(Inbox().size(), 2);
        QCOMPARE(Bounced().size(), 0);
        QVERIFY(!bc::engine::Flags().Abort_Requested);

        Click(Find<QPushButton>(&frmStatusAnalysis::Instance(), "CloseForm"));
        QVERIFY(!frmStatusAnalysis::Is_Loaded());
        QCOMPARE(Message_Box::shown(), QStringList({"Processing Stopped"}));
        Let_Deferred_Deletes_Run();
    }

    void entries_are_disabled_while_a_run_is_under_way_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::newRow("done") << QStringLiteral("done");
        QTest::newRow("stopped") << QStringLiteral("stopped");
        QTest::newRow("error") << QStringLiteral("error");
    }

    void entries_are_disabled_while_a_run_is_under_way()
    {
        QFETCH(QString, ending);
        Make_Profile();
        if (ending == QLatin1String("error")) // an input folder that is gone
            bc::Save_Setting(bc::Email_Inbox_Entry_ID, bc::outlook::Entry_ID_To_Hex("Nowhere"));
        Open_Window();
        auto* list = window_->Databases();
        const auto enabled = [&] {
            QStringList names;
            for (const char* name :
                 {"ScanEmails", "ProcessCurrent", "Scan_Selective", "AddDatabase", "RemoveThisDatabase",
                  "PickTheInboxFolder", "ClearInboxFolder", "PickDestFolder", "ClearDestFolder"})
                if (Button(name)->isEnabled())
                    names << QLatin1String(name);
            for (QAction* entry : {window_->findChild<QAction*>(QStringLiteral("mnuProcessAll")),
                                   window_->findChild<QAction*>(QStringLiteral("mnuProcessCurrent")),
                                   window_->findChild<QAction*>(QStringLiteral("mnuProcessSelective")),
                                   list->Add_Action(), list->Remove_Action()})
                if (entry->isEnabled())
                    names << entry->objectName();
            return names;
        };
        const QStringList all = enabled();
        QCOMPARE(all.size(), 14);

        QStringList during;
        int rowsAfterRemove = -1;
        On_Line([](const QString& line) { return line == QStringLiteral("Logging into Outlook Mailbox"); },
                [&] {
                    during = enabled();
                    // The list the run works through by index stays as it
                    // is, even when asked through the list itself.
                    list->selectAll();
                    Message_Box::setNextAnswer(QMessageBox::Yes);
                    list->Remove_Selected_Folders();
                    rowsAfterRemove = list->topLevelItemCount();
                });
        if (ending == QLatin1String("stopped")) {
            On_Line([](const QString& line) { return line == kFoundBob; },
                    [] {
                        Message_Box::setNextAnswer(QMessageBox::Ok);
                        Click(Find<QPushButton>(&frmStatusAnalysis::Instance(), "CloseForm"));
                    });
        }
        if (ending == QLatin1String("error"))
            Message_Box::setNextAnswer(QMessageBox::Ok);
        Click(Button("ScanEmails"));

        QCOMPARE(during, QStringList());
        QCOMPARE(rowsAfterRemove, 1);
        QCOMPARE(bc::Folders().Contact_Folder_Count(), 1);
        QCOMPARE(enabled(), all);
        QCOMPARE(Message_Box::shown().size(), ending == QLatin1String("done") ? 0 : 1);
        // The status says how the run ended.
        const QString how = ending == QLatin1String("done")      ? QStringLiteral("Done: ")
                            : ending == QLatin1String("stopped") ? QStringLiteral("Stopped: ")
                                                                 : QStringLiteral("Ended by an error: ");
        QVERIFY2(Status().startsWith(how), qPrintable(Status()));
    }

    void the_bar_ends_full_and_the_status_counts_what_the_run_changed_data()
    {
        QTest::addColumn<bool>("changeInstead");
        QTest::addColumn<QString>("status");
        QTest::newRow("delete contact, move message")
            << false << QStringLiteral("Done: 1 contact deleted, 0 changed, 0 tasks made, 1 message moved");
        QTest::newRow("clear, note and task, delete message")
            << true << QStringLiteral("Done: 0 contacts deleted, 1 changed, 1 task made, 1 message deleted");
    }

    void the_bar_ends_full_and_the_status_counts_what_the_run_changed()
    {
        QFETCH(bool, changeInstead);
        QFETCH(QString, status);
        Make_Profile();
        Open_Window();
        if (changeInstead) {
            Click_Box(bc::test::Box(window_.get(), "chkClearEmailAddress"));
            Click_Box(bc::test::Box(window_.get(), "chkCreateanote"));
            Find<QComboBox>(window_.get(), "ComboEvent")->setCurrentText(QStringLiteral("Task"));
            bc::test::Click_Tab(window_.get(), QStringLiteral("Email Actions"));
            Click_Box(bc::test::Box(window_.get(), "chkOutlookRemoveMessage"));
        }
        Click(Button("ScanEmails"));

        QCOMPARE(Status(), status);
        const QProgressBar* bar = Find<QProgressBar>(&frmStatusAnalysis::Instance(), "ProgressBar");
        QCOMPARE(bar->value(), bar->maximum());
        // The counts are what the profile shows.
        QCOMPARE(QFile::exists(bob_), changeInstead);
        QCOMPARE(profile_->Files(QStringLiteral("Tasks")).size(), changeInstead ? 1 : 0);
        QCOMPARE(Bounced().size(), changeInstead ? 0 : 1);
        QCOMPARE(profile_->Files(QStringLiteral("Deleted Items")).size(), changeInstead ? 1 : 0);
        QCOMPARE(Inbox().size(), 1);
        if (changeInstead) {
            // The note carries the returned message's text; only the address is cleared.
            QVERIFY(profile_->Contact(bob_)->Body().contains(QStringLiteral("550 no such user")));
            QCOMPARE(profile_->Contact(bob_)->Email_Address(1), QString());
        }
    }

    void enabled_logging_writes_the_lines_and_open_log_shows_them()
    {
        Make_Profile();
        Open_Window();
        bc::test::Click_Tab(window_.get(), QStringLiteral("Log"));
        auto* logging = bc::test::Box(window_.get(), "chkEnableLogging");
        QVERIFY(logging);
        Click_Box(logging);
        QCOMPARE(bc::test::Stored(bc::Log_Enabled), QStringLiteral("1"));

        Click(Button("ScanEmails"));
        const QStringList shown = Progress_Lines();
        QCOMPARE(shown.last(), kDone);
        QFile file(bc::App().Data_Folder + bc::engine::kLogFileName);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QStringList logged =
            QString::fromLatin1(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(logged.size(), shown.size());
        for (int i = 0; i < shown.size(); ++i)
            QVERIFY2(logged[i].endsWith(QStringLiteral("  ") + shown[i]), qPrintable(logged[i]));

        Click(Find<QPushButton>(window_.get(), "OpenLog"));
        frmViewLog* viewer = frmViewLog::Loaded();
        QVERIFY(viewer);
        // Beside the main window, as far as the screen lets it.
        QVERIFY(viewer->x() > window_->x());
        QVERIFY(window_->screen()->availableGeometry().contains(viewer->frameGeometry()));
        const QString listed = viewer->Lines().join(QLatin1Char('\n'));
        for (const QString& line : shown)
            QVERIFY2(listed.contains(line), qPrintable(line));
        QCOMPARE(Message_Box::shown(), QStringList());
    }

    void preview_run_changes_nothing_and_its_report_opens()
    {
        Make_Profile();
        Open_Window();
        Trigger("mnuPreviewRun");
        QCOMPARE(profile_->home.Read(bob_), bobBefore_);
        QCOMPARE(Inbox().size(), 2);
        QCOMPARE(Message_Box::shown(), QStringList());

        auto* report = Find<QPushButton>(&frmStatusAnalysis::Instance(), "cmdReport");
        QVERIFY(report->isVisible() && report->isEnabled());
        Click(report);
        QVERIFY(frmRunReport::Loaded() && frmRunReport::Loaded()->isVisible());
        const QString text = Find<QPlainTextEdit>(frmRunReport::Loaded(), "txtReport")->toPlainText();
        QVERIFY2(text.contains(QStringLiteral("This was a preview")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Matched:  bob@example.com in Email1Address")));
        QVERIFY(text.contains(QStringLiteral("Done:     deleted")));

        // The next run has the button wait for its own report.
        bool disabledDuringRun = false;
        connect(&frmStatusAnalysis::Instance(), &frmStatusAnalysis::Line_Added, report,
                [&] { disabledDuringRun = disabledDuringRun || !report->isEnabled(); });
        Click(Button("ScanEmails"));
        QVERIFY(!QFile::exists(bob_));
        QVERIFY(disabledDuringRun);
        QVERIFY(report->isEnabled());
        Click(report);
        QVERIFY(!Find<QPlainTextEdit>(frmRunReport::Loaded(), "txtReport")
                     ->toPlainText()
                     .contains(QStringLiteral("This was a preview")));
    }

    void undo_last_run_says_what_it_restores_and_asks()
    {
        Make_Profile();
        Open_Window();
        Click(Button("ScanEmails"));
        QVERIFY(!QFile::exists(bob_));
        QCOMPARE(Inbox().size(), 1);

        Message_Box::setNextAnswer(QMessageBox::No);
        Trigger("mnuUndoLastRun");
        QVERIFY(!QFile::exists(bob_));
        QCOMPARE(Message_Box::shown().size(), 1);
        const QString question = Message_Box::shown().first();
        QVERIFY2(question.startsWith(QStringLiteral("Undo the run started ")), qPrintable(question));
        QVERIFY2(
            question.contains(QStringLiteral("This will return 1 deleted contact to its folder and return 1 "
                                             "message to the input folder.")),
            qPrintable(question));

        Message_Box::setNextAnswer(QMessageBox::Yes);
        Message_Box::setNextAnswer(QMessageBox::Ok);
        Trigger("mnuUndoLastRun");
        QCOMPARE(profile_->home.Read(bob_), bobBefore_);
        QCOMPARE(Inbox().size(), 2);
        QVERIFY(Message_Box::shown().last().startsWith(
            QStringLiteral("The run was undone: returned 1 deleted contact")));

        Message_Box::setNextAnswer(QMessageBox::Ok);
        Trigger("mnuUndoLastRun");
        QVERIFY(Message_Box::shown().last().contains(QStringLiteral("has already been undone")));
    }

    void runs_to_keep_is_restored_and_saved()
    {
        Make_Profile();
        bc::Save_Setting(bc::Runs_To_Keep, 7);
        Open_Window();
        auto* box = Find<QSpinBox>(window_.get(), "txtRunsToKeep");
        QCOMPARE(box->value(), 7);
        box->setValue(3);
        QCOMPARE(bc::test::Stored(bc::Runs_To_Keep), QStringLiteral("3"));
    }
};

QTEST_MAIN(Test_Main_Window_Run)
#include "test_main_window_run.moc"
