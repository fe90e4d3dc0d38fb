// The progress window: its rows across runs, loading and unloading, the stop
// protocol of its Close button, Escape and close box, the bar and status text
// of a run, and its proportional layout.

#include "Main_Window_Support.h"
#include "engine/Processing_Flags.h"
#include "windows/frmStatusAnalysis.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using bc::engine::Flags;
using bc::test::Let_Deferred_Deletes_Run;
using bc::windows::frmStatusAnalysis;
using bc::windows::Message_Box;
using bc::windows::Progress_Window;

namespace {

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

class Test_Progress_Window : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { bc::windows::Install_Message_Boxes(); }

    void init()
    {
        Message_Box::clearShown();
        Flags() = {};
    }

    void cleanup()
    {
        if (frmStatusAnalysis::Is_Loaded())
            frmStatusAnalysis::Instance().close();
        Let_Deferred_Deletes_Run();
        QVERIFY(!frmStatusAnalysis::Is_Loaded());
    }

    void a_loaded_window_is_hidden_and_empty_with_its_columns_and_button()
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
    }

    void lines_add_rows_that_append_across_runs()
    {
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
    }

    void the_newest_row_is_scrolled_into_view()
    {
        Progress_Window().Show_Window();
        QVERIFY(QTest::qWaitForWindowExposed(&frmStatusAnalysis::Instance()));
        Run_Lines(200);
        QTRY_COMPARE(Rows().size(), 200);
        QTreeView* list = List();
        const QModelIndex last = list->model()->index(199, 1);
        QCOMPARE(last.data().toString(), QStringLiteral("line 200"));
        QTRY_VERIFY(list->viewport()->rect().contains(list->visualRect(last)));
        QVERIFY(!list->viewport()->rect().intersects(list->visualRect(list->model()->index(0, 1))));
    }

    void close_during_an_operation_stops_it_and_keeps_the_window_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Close") << false;
        QTest::newRow("Escape") << true;
    }

    void close_during_an_operation_stops_it_and_keeps_the_window()
    {
        QFETCH(bool, escape);
        const auto stop = [escape] {
            if (escape)
                QTest::keyClick(&frmStatusAnalysis::Instance(), Qt::Key_Escape);
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

    void the_close_box_follows_the_same_rule()
    {
        Progress_Window().Show_Window();
        QPointer<frmStatusAnalysis> window = &frmStatusAnalysis::Instance();
        QVERIFY(QTest::qWaitForWindowExposed(window));

        Flags().Processing_Active = true;
        Message_Box::setNextAnswer(QMessageBox::Ok);
        Click_Close_Box(window);
        QVERIFY(Flags().Abort_Requested);
        QCOMPARE(Message_Box::shown(), QStringList{QStringLiteral("Processing Stopped")});
        QVERIFY(frmStatusAnalysis::Is_Loaded() && window->isVisible());

        Flags().Processing_Active = false;
        Click_Close_Box(window);
        QVERIFY(!frmStatusAnalysis::Is_Loaded());
        QCOMPARE(Message_Box::shown().size(), 1);
    }

    void closing_by_the_program_never_asks_to_stop()
    {
        Progress_Window().Show_Window();
        Flags().Processing_Active = true;
        frmStatusAnalysis::Instance().close(); // as when the main window ends the program
        QVERIFY(!frmStatusAnalysis::Is_Loaded());
        QVERIFY(!Flags().Abort_Requested);
        QCOMPARE(Message_Box::shown(), QStringList());
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
};

QTEST_MAIN(Test_Progress_Window)
#include "test_progress_window.moc"
