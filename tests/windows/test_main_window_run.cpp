// Processing runs started from the real main window on a temporary mail
// profile: the progress window's lines, bar and status, the contacts and
// messages afterwards, Close and Escape during a run, the log file with its
// viewer, and the entries that cannot start while a run is under way.

#include "Main_Window_Support.h"
#include "engine/Engine_Test_Profile.h"
#include "windows/Database_List.h"
#include "windows/Processing_Entry.h"
#include "windows/frmStatusAnalysis.h"
#include "windows/frmViewLog.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTreeView>

#include <functional>
#include <memory>

using bc::test::Click;
using bc::test::Click_Box;
using bc::test::Find;
using bc::windows::frmMain;
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

void Let_Deferred_Deletes_Run()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class Test_Main_Window_Run : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<bc::test::Engine_Profile> profile_;
    std::unique_ptr<frmMain> window_;
    QString bob_;

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
        profile_->Add_Database(QStringLiteral("Contacts"));
        for (const char* sub : {"cur", "new", "tmp"})
            QDir().mkpath(profile_->Folder(QStringLiteral("Bounced/") + QLatin1String(sub)));
        bc::Save_Setting(bc::Email_What_To_Do, 3);
        bc::Save_Setting(bc::Email_Destination_EntryID, bc::outlook::Entry_ID_To_Hex("Bounced"));
        bc::Save_Setting(bc::Email_Destination_StoreID, profile_->storeId);
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
    QStringList Inbox() const { return profile_->Files(QStringLiteral("Inbox")); }
    QStringList Bounced() const { return profile_->Files(QStringLiteral("Bounced")); }

private Q_SLOTS:
    void cleanup()
    {
        if (frmViewLog* viewer = frmViewLog::Loaded())
            viewer->close();
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

    void clear_and_note_checked_change_the_contact_instead()
    {
        Make_Profile();
        Open_Window();
        bc::test::Click_Tab(window_.get(), QStringLiteral("Contact Action"));
        auto* clear = bc::test::Box(window_.get(), "chkClearEmailAddress");
        auto* note = bc::test::Box(window_.get(), "chkCreateanote");
        auto* del = bc::test::Box(window_.get(), "chkContactDelete");
        QVERIFY(clear && note && del);
        Click_Box(clear);
        Click_Box(note);
        QCOMPARE(del->Value(), 0);
        QCOMPARE(clear->Value(), 1);
        QCOMPARE(note->Value(), 1);

        Click(Button("ScanEmails"));
        const QStringList lines = Progress_Lines();
        QVERIFY2(lines.contains(kFoundBob), qPrintable(lines.join(QLatin1Char('|'))));
        QVERIFY(!lines.contains(QStringLiteral("Deleted Contact. Contact Name: Bob Smith")));
        QCOMPARE(lines.last(), kDone);
        QVERIFY(QFile::exists(bob_));
        const auto contact = profile_->Contact(bob_);
        QVERIFY(contact);
        QCOMPARE(contact->Email_Address(1), QString());
        // The note carries the returned message's text.
        QVERIFY2(contact->Body().contains(QStringLiteral("<bob@example.com>: host mx.example.com said: 550")),
                 qPrintable(contact->Body()));
        QCOMPARE(Bounced().size(), 1);
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

    void close_during_a_run_stops_it_and_close_afterwards_closes_the_window_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Close") << false;
        QTest::newRow("Escape") << true;
    }

    void close_during_a_run_stops_it_and_close_afterwards_closes_the_window()
    {
        QFETCH(bool, escape);
        Make_Profile();
        Open_Window();
        bool activeAtClose = false;
        On_Line([](const QString& line) { return line == kFoundBob; },
                [&] {
                    activeAtClose = bc::engine::Flags().Processing_Active;
                    Message_Box::setNextAnswer(QMessageBox::Ok);
                    frmStatusAnalysis& progress = frmStatusAnalysis::Instance();
                    if (escape) {
                        progress.activateWindow();
                        QVERIFY(QTest::qWaitForWindowActive(&progress));
                        QTest::keyClick(&progress, Qt::Key_Escape);
                    } else {
                        Click(Find<QPushButton>(&progress, "CloseForm"));
                    }
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

    void selected_without_a_selected_row_refuses_and_touches_nothing()
    {
        Make_Profile();
        Open_Window();
        QVERIFY(window_->Databases()->Has_Current_Row());
        window_->Databases()->clearSelection();
        Message_Box::setNextAnswer(QMessageBox::Ok);
        Click(Button("ProcessCurrent"));
        QCOMPARE(Message_Box::shown(),
                 QStringList({"No database has been selected! Select a database first."}));
        QCOMPARE(Progress_Lines(), QStringList());
        QCOMPARE(Inbox().size(), 2);
        QCOMPARE(Bounced().size(), 0);
        QVERIFY(QFile::exists(bob_));
    }

    void the_bar_ends_full_and_the_status_counts_what_the_run_changed_data()
    {
        QTest::addColumn<bool>("changeInstead");
        QTest::addColumn<QString>("status");
        QTest::newRow("delete contact, move message")
            << false << QStringLiteral("Done: 1 contact deleted, 0 changed, 0 tasks made, 1 message moved");
        QTest::newRow("note and task, delete message")
            << true << QStringLiteral("Done: 0 contacts deleted, 1 changed, 1 task made, 1 message deleted");
    }

    void the_bar_ends_full_and_the_status_counts_what_the_run_changed()
    {
        QFETCH(bool, changeInstead);
        QFETCH(QString, status);
        Make_Profile();
        Open_Window();
        if (changeInstead) {
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
        if (changeInstead)
            QVERIFY(profile_->Contact(bob_)->Body().contains(QStringLiteral("550 no such user")));
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

    void all_clicked_again_during_a_run_starts_no_second_run()
    {
        Make_Profile();
        Open_Window();
        bool inRun = false;
        On_Line([](const QString& line) { return line == QStringLiteral("Scanning Folder: Contacts"); },
                [&] {
                    inRun = bc::engine::Flags().Run_In_Progress;
                    Click(Button("ScanEmails"));
                    Click(Button("ProcessCurrent"));
                });
        Click(Button("ScanEmails"));
        QVERIFY(inRun);
        const QStringList lines = Progress_Lines();
        QCOMPARE(lines.count(QStringLiteral("Logging into Outlook Mailbox")), 1);
        QCOMPARE(lines.count(kDone), 1);
        QCOMPARE(lines.last(), kDone);
        QCOMPARE(Message_Box::shown(), QStringList());
        QVERIFY(!QFile::exists(bob_));
        QCOMPARE(Bounced().size(), 1);
    }
};

QTEST_MAIN(Test_Main_Window_Run)
#include "test_main_window_run.moc"
