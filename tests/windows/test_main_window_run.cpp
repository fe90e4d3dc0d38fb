// The progress window on its own: its rows across runs, loading and
// unloading, the stop protocol of its Close button, Escape and close box, the
// bar and status text of a run, and its proportional layout. Then processing
// runs started from the real main window on a temporary mail profile: the
// progress window's lines, bar and status, the contacts and messages
// afterwards, Close during a run, the log file with its viewer, the entries
// that cannot start while a run is under way, and the run's preview, report
// and undo.

#include "Main_Window_Support.h"
#include "engine/Engine_Test_Profile.h"
#include "engine/Processing_Flags.h"
#include "windows/Database_List.h"
#include "windows/Processing_Entry.h"
#include "windows/frmRunReport.h"
#include "windows/frmStatusAnalysis.h"
#include "windows/frmViewLog.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSpontaneKeyEvent>
#include <QTimer>
#include <QTreeView>

#include <functional>
#include <memory>

using bc::engine::Flags;
using bc::test::Click;
using bc::test::Click_Box;
using bc::test::Find;
using bc::test::Let_Deferred_Deletes_Run;
using bc::windows::frmMain;
using bc::windows::frmRunReport;
using bc::windows::frmStatusAnalysis;
using bc::windows::frmViewLog;
using bc::windows::Message_Box;
using bc::windows::Progress_Window;

namespace {

const QString kRule = QString(44, QLatin1Char('-'));
const QString kDone = QStringLiteral("Processing Done. No more emails to process.");
const QString kBounceSubject = QStringLiteral("Undelivered Mail Returned to Sender");
const QString kFoundBob =
    QStringLiteral("Found Matching Contact. Contact Name: Bob Smith Email Address: bob@example.com");

QTreeView* List()
{
    return frmStatusAnalysis::Instance().findChild<QTreeView*>(QStringLiteral("ListContacts"));
}

// The rows the list shows.
QStringList Rows()
{
    QStringList rows;
    if (!frmStatusAnalysis::Is_Loaded())
        return rows;
    const QAbstractItemModel* model = List()->model();
    for (int i = 0; i < model->rowCount(); ++i) {
        // Column 0 is the hidden one; the text belongs in the second.
        if (!model->index(i, 0).data().toString().isEmpty())
            rows << QStringLiteral("<text in column 0>");
        rows << model->index(i, 1).data().toString();
    }
    return rows;
}

QString Status()
{
    const frmStatusAnalysis& window = frmStatusAnalysis::Instance();
    return window.findChild<QLabel*>(QStringLiteral("lblStatus"))->text();
}

QProgressBar* Bar()
{
    return frmStatusAnalysis::Instance().findChild<QProgressBar*>(QStringLiteral("ProgressBar"));
}

QPushButton* Close_Button()
{
    return frmStatusAnalysis::Instance().findChild<QPushButton*>(QStringLiteral("CloseForm"));
}

// The window manager's close box: a close event that comes from outside.
void Click_Close_Box(QWidget* window)
{
    QCloseEvent event;
    QSpontaneKeyEvent::setSpontaneous(&event);
    // sendEvent would clear the flag again; notify delivers it as it is.
    QApplication::instance()->notify(window, &event);
}

// What a run does between its lines: report, yield, and stop when asked.
int Run_Lines(int count)
{
    Flags().Processing_Active = true;
    Flags().Abort_Requested = false;
    int done = 0;
    while (done < count) {
        Progress_Window().Add_Line(QStringLiteral("line %1").arg(done + 1));
        ++done;
        QCoreApplication::processEvents();
        if (Flags().Abort_Requested)
            break;
    }
    Flags().Processing_Active = false;
    return done;
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
    void initTestCase() { bc::windows::Install_Message_Boxes(); }

    void init()
    {
        Message_Box::clearShown();
        Flags() = {};
    }

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
        QVERIFY(!frmStatusAnalysis::Is_Loaded());
        profile_.reset();
    }

    void a_loaded_window_is_hidden_and_empty_and_its_rows_append_across_runs()
    {
        QVERIFY(!frmStatusAnalysis::Is_Loaded());
        frmStatusAnalysis& window = frmStatusAnalysis::Instance();
        QVERIFY(!window.isVisible());
        QCOMPARE(window.windowTitle(), QStringLiteral("Identification Status Report"));
        QTreeView* list = List();
        QVERIFY(list);
        QCOMPARE(list->model()->rowCount(), 0);
        QVERIFY(!list->rootIsDecorated());
        QCOMPARE(list->model()->headerData(0, Qt::Horizontal).toString(), QString());
        QCOMPARE(list->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Contacts Found"));
        QVERIFY(list->columnWidth(0) <= 1);
        QCOMPARE(list->columnWidth(1), bc::windows::Twips_To_Pixels(list, 10000, Qt::Horizontal));
        QCOMPARE(Close_Button()->text(), QStringLiteral("&Close"));
        QCOMPARE(Close_Button()->toolTip(), QString());
        QCOMPARE(Status(), QString());
        QCOMPARE(Bar()->value(), 0);

        // Lines add rows that append across runs; the newest is shown.
        Progress_Window().Add_Line(QStringLiteral("Before showing"));
        QVERIFY(frmStatusAnalysis::Is_Loaded());
        QVERIFY(!frmStatusAnalysis::Instance().isVisible()); // a line alone does not show it

        Progress_Window().Show_Window();
        QVERIFY(QTest::qWaitForWindowExposed(&frmStatusAnalysis::Instance()));
        QCOMPARE(Run_Lines(2), 2);
        // A second run into the still-open window appends.
        Progress_Window().Show_Window();
        QCOMPARE(Run_Lines(1), 1);
        // Rows are shown in batches, at most about 30 times a second.
        QTRY_COMPARE(Rows(), (QStringList{"Before showing", "line 1", "line 2", "line 1"}));
        QCOMPARE(Message_Box::shown(), QStringList());

        // The newest row is scrolled into view.
        Run_Lines(200);
        QTRY_COMPARE(Rows().size(), 204);
        const QModelIndex last = list->model()->index(203, 1);
        QCOMPARE(last.data().toString(), QStringLiteral("line 200"));
        QTRY_VERIFY(list->viewport()->rect().contains(list->visualRect(last)));
        QVERIFY(!list->viewport()->rect().intersects(list->visualRect(list->model()->index(0, 1))));
    }

    void close_during_an_operation_stops_it_and_keeps_the_window_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("Close") << QStringLiteral("Close");
        QTest::newRow("Escape") << QStringLiteral("Escape");
        QTest::newRow("close box") << QStringLiteral("close box");
    }

    void close_during_an_operation_stops_it_and_keeps_the_window()
    {
        QFETCH(QString, way);
        const auto stop = [way] {
            if (way == QLatin1String("Escape"))
                QTest::keyClick(&frmStatusAnalysis::Instance(), Qt::Key_Escape);
            else if (way == QLatin1String("close box"))
                Click_Close_Box(&frmStatusAnalysis::Instance());
            else
                QTest::mouseClick(Close_Button(), Qt::LeftButton);
        };
        Progress_Window().Show_Window();
        QPointer<frmStatusAnalysis> window = &frmStatusAnalysis::Instance();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        Message_Box::setNextAnswer(QMessageBox::Ok);
        // The click arrives in one of the run's yields.
        QTimer::singleShot(0, stop);
        const int done = Run_Lines(100000);

        QVERIFY(done < 100000);
        QVERIFY(Flags().Abort_Requested);
        QCOMPARE(Message_Box::shown(), QStringList{QStringLiteral("Processing Stopped")});
        Let_Deferred_Deletes_Run();
        QVERIFY(window && window->isVisible());
        QTRY_COMPARE(Rows().size(), done);

        // The run has ended: Close now unloads the window, without a message.
        stop();
        QVERIFY(!frmStatusAnalysis::Is_Loaded());
        Let_Deferred_Deletes_Run();
        QVERIFY(!window);
        QCOMPARE(Message_Box::shown().size(), 1);
    }

    void lines_after_an_unload_go_to_a_fresh_hidden_window()
    {
        Progress_Window().Show_Window();
        Progress_Window().Add_Line(QStringLiteral("first folder"));
        QPointer<frmStatusAnalysis> first = &frmStatusAnalysis::Instance();
        // Between two contact folders nothing is active: Close unloads.
        QTest::mouseClick(Close_Button(), Qt::LeftButton);
        QVERIFY(!frmStatusAnalysis::Is_Loaded());

        Progress_Window().Add_Line(QStringLiteral("second folder"));
        QVERIFY(frmStatusAnalysis::Is_Loaded());
        QVERIFY(&frmStatusAnalysis::Instance() != first.data());
        QVERIFY(!frmStatusAnalysis::Instance().isVisible());
        QTRY_COMPARE(Rows(), QStringList{QStringLiteral("second folder")});

        // Closed by the program (the main window ending it), it never asks a
        // run to stop.
        Flags().Processing_Active = true;
        frmStatusAnalysis::Instance().close();
        QVERIFY(!frmStatusAnalysis::Is_Loaded());
        QVERIFY(!Flags().Abort_Requested);
        QCOMPARE(Message_Box::shown(), QStringList());
    }

    void the_bar_and_status_say_where_the_run_stands()
    {
        using bc::engine::Run_Outcome;
        using bc::engine::Run_Stage;
        Progress_Window().Show_Window();
        frmStatusAnalysis& window = frmStatusAnalysis::Instance();
        Flags().Run_In_Progress = true;
        QTRY_COMPARE(Status(), QStringLiteral("Starting ..."));
        QVERIFY(!Close_Button()->toolTip().isEmpty()); // Close stops the run

        struct Step
        {
            Run_Stage stage;
            int total;
            const char* name;
            int done;
            const char* status;
        };
        const Step steps[] = {
            {Run_Stage::Reading_Messages, 0, "", 0, "Reading the input folder ..."},
            {Run_Stage::Scanning_Messages, 10, "", 3, "Scanning messages: 3 of 10"},
            {Run_Stage::Checking_Contacts, 5, "Friends", 2, "Checking contacts in Friends: 2 of 5"},
            {Run_Stage::Moving_Messages, 4, "", 4, "Moving returned messages: 4 of 4"},
            {Run_Stage::Deleting_Messages, 3, "", 1, "Deleting returned messages: 1 of 3"},
        };
        for (const Step& step : steps) {
            Progress_Window().Stage_Started(step.stage, step.total, QString::fromLatin1(step.name));
            Progress_Window().Stage_Advanced(step.done);
            QTRY_COMPARE(Status(), QString::fromLatin1(step.status));
            QCOMPARE(Bar()->maximum(), std::max(step.total, 1));
            QCOMPARE(Bar()->value(), step.done);
        }
        // A stopped run keeps its bar where it stood.
        Progress_Window().Run_Finished(Run_Outcome::Stopped, {1, 2, 1, 1, 0});
        Flags().Run_In_Progress = false;
        QCOMPARE(Status(),
                 QStringLiteral("Stopped: 1 contact deleted, 2 changed, 1 task made, 1 message moved"));
        QCOMPARE(Bar()->value(), 1);
        QCOMPARE(Close_Button()->toolTip(), QString());
        QVERIFY(window.findChild<QLabel*>(QStringLiteral("lblElapsed"))->text().startsWith("Elapsed 0:0"));

        // A finished run fills it, also when its last stage had nothing to do.
        Flags().Run_In_Progress = true;
        Progress_Window().Stage_Started(Run_Stage::Deleting_Messages, 0, QString());
        Progress_Window().Run_Finished(Run_Outcome::Done, {0, 1, 0, 0, 3});
        Flags().Run_In_Progress = false;
        QCOMPARE(Status(),
                 QStringLiteral("Done: 0 contacts deleted, 1 changed, 0 tasks made, 3 messages deleted"));
        QCOMPARE(Bar()->value(), Bar()->maximum());

        // An operation that does not say how it ended (the manual processing).
        Flags().Run_In_Progress = true;
        Flags().Run_In_Progress = false;
        QCOMPARE(Status(), QStringLiteral("Done"));
    }

    void resizing_keeps_the_list_and_button_in_proportion()
    {
        Progress_Window().Show_Window();
        frmStatusAnalysis& window = frmStatusAnalysis::Instance();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTreeView* list = window.ListContacts();
        const QRect list0 = list->geometry();
        const QRect button0 = Close_Button()->geometry();
        const QSize size0 = window.size();

        window.resize(size0.width() * 2, size0.height() * 2);
        QTRY_COMPARE(window.size(), size0 * 2);
        // The client area doubled; positions and sizes follow to within the
        // rounding to whole twips and pixels.
        auto near = [](int actual, int expected) { return std::abs(actual - expected) <= 2; };
        QVERIFY2(near(list->width(), list0.width() * 2), qPrintable(QString::number(list->width())));
        QVERIFY2(near(list->height(), list0.height() * 2), qPrintable(QString::number(list->height())));
        QVERIFY(near(Close_Button()->x(), button0.x() * 2));
        QVERIFY(near(Close_Button()->y(), button0.y() * 2));
        QVERIFY(window.rect().contains(Close_Button()->geometry()));
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
        const QStringList lines = Rows();
        QVERIFY2(lines.contains(QStringLiteral("Scanning Folder: Friends")), qPrintable(lines.join('|')));
        QVERIFY(!lines.contains(QStringLiteral("Scanning Folder: Contacts")));
        QVERIFY(lines.contains(QStringLiteral("Deleted Contact. Contact Name: Bob Again")));
        QCOMPARE(lines.last(), kDone);
        QVERIFY(!QFile::exists(other));
        QVERIFY(QFile::exists(bob_));
        QCOMPARE(Bounced().size(), 1);
    }

    // Escape and the close box take the same way (close_during_an_operation_stops_it_and_keeps_the_window).
    void close_during_a_run_stops_it_and_close_afterwards_closes_the_window()
    {
        Make_Profile();
        Open_Window();
        bool activeAtClose = false;
        On_Line([](const QString& line) { return line == kFoundBob; },
                [&] {
                    activeAtClose = Flags().Processing_Active;
                    Message_Box::setNextAnswer(QMessageBox::Ok);
                    Click(Find<QPushButton>(&frmStatusAnalysis::Instance(), "CloseForm"));
                });
        Click(Button("ScanEmails"));
        QVERIFY(activeAtClose);
        QCOMPARE(Message_Box::shown(), QStringList({"Processing Stopped"}));
        QVERIFY(frmStatusAnalysis::Is_Loaded());
        QVERIFY(frmStatusAnalysis::Instance().isVisible());
        const QStringList lines = Rows();
        QVERIFY2(lines.contains(QStringLiteral("Processing aborted and stopped.")),
                 qPrintable(lines.join('|')));
        QVERIFY(!lines.contains(QStringLiteral("Moving/Deleting Email")));
        QCOMPARE(lines.last(), kDone);
        QCOMPARE(Inbox().size(), 2);
        QCOMPARE(Bounced().size(), 0);
        QVERIFY(!Flags().Abort_Requested);

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
        const QStringList shown = Rows();
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

    void all_deletes_the_contact_and_moves_the_message_and_undo_asks_first()
    {
        Make_Profile();
        Open_Window();
        Click(Button("ScanEmails"));
        QCOMPARE(Rows(),
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
        QVERIFY(!Flags().Run_In_Progress);
        QVERIFY(!Flags().Processing_Active);

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
};

QTEST_MAIN(Test_Main_Window_Run)
#include "test_main_window_run.moc"
