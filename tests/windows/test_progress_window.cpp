// The progress window: its rows across runs, loading and unloading, the stop
// protocol of its Close button and close box, and its proportional layout.

#include "engine/Processing_Flags.h"
#include "windows/Message_Box.h"
#include "windows/frmStatusAnalysis.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using bc::engine::Flags;
using bc::windows::frmStatusAnalysis;
using bc::windows::Message_Box;
using bc::windows::Progress_Window;

namespace {

QStringList Rows()
{
    QStringList rows;
    if (!frmStatusAnalysis::Is_Loaded())
        return rows;
    QTreeWidget* list = frmStatusAnalysis::Instance().ListContacts();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        // Column 0 is the hidden one; the text belongs in the second.
        if (!list->topLevelItem(i)->text(0).isEmpty())
            rows << QStringLiteral("<text in column 0>");
        rows << list->topLevelItem(i)->text(1);
    }
    return rows;
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

void Let_Deferred_Deletes_Run()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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
        QTreeWidget* list = window.findChild<QTreeWidget*>(QStringLiteral("ListContacts"));
        QVERIFY(list);
        QCOMPARE(list->topLevelItemCount(), 0);
        QVERIFY(!list->rootIsDecorated());
        QCOMPARE(list->headerItem()->text(0), QString());
        QCOMPARE(list->headerItem()->text(1), QStringLiteral("Contacts Found"));
        QVERIFY(list->columnWidth(0) <= 1);
        QCOMPARE(list->columnWidth(1), bc::windows::Twips_To_Pixels(list, 10000, Qt::Horizontal));
        QCOMPARE(Close_Button()->text(), QStringLiteral("Close"));
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
        QCOMPARE(Rows(), (QStringList{"Before showing", "line 1", "line 2", "line 1"}));
        QCOMPARE(Message_Box::shown(), QStringList());
    }

    void the_newest_row_is_scrolled_into_view()
    {
        Progress_Window().Show_Window();
        QVERIFY(QTest::qWaitForWindowExposed(&frmStatusAnalysis::Instance()));
        Run_Lines(200);
        QTreeWidget* list = frmStatusAnalysis::Instance().ListContacts();
        QTreeWidgetItem* last = list->topLevelItem(199);
        QCOMPARE(last->text(1), QStringLiteral("line 200"));
        QVERIFY(list->viewport()->rect().contains(list->visualItemRect(last)));
        QVERIFY(!list->viewport()->rect().intersects(list->visualItemRect(list->topLevelItem(0))));
    }

    void close_during_an_operation_stops_it_and_keeps_the_window()
    {
        Progress_Window().Show_Window();
        QPointer<frmStatusAnalysis> window = &frmStatusAnalysis::Instance();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        Message_Box::setNextAnswer(QMessageBox::Ok);
        // The click arrives in one of the run's yields.
        QTimer::singleShot(0, [] { QTest::mouseClick(Close_Button(), Qt::LeftButton); });
        const int done = Run_Lines(1000000);

        QVERIFY(done < 1000000);
        QVERIFY(Flags().Abort_Requested);
        QCOMPARE(Message_Box::shown(), QStringList{QStringLiteral("Processing Stopped")});
        Let_Deferred_Deletes_Run();
        QVERIFY(window && window->isVisible());
        QCOMPARE(Rows().size(), done);

        // The run has ended: Close now unloads the window, without a message.
        QTest::mouseClick(Close_Button(), Qt::LeftButton);
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
        QCOMPARE(Rows(), QStringList{QStringLiteral("second folder")});
        QCOMPARE(Message_Box::shown(), QStringList());
    }

    void resizing_keeps_the_list_and_button_in_proportion()
    {
        Progress_Window().Show_Window();
        frmStatusAnalysis& window = frmStatusAnalysis::Instance();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTreeWidget* list = window.ListContacts();
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
