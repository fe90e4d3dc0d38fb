// The bounced e-mails log: listing it in the viewer (code page, line ends,
// appending, scrolled to the end, stopping when the viewer closes, read
// errors), the viewer's "Save As ..." copy, "Exit" and Escape, and clearing
// the log.

#include "Main_Window_Support.h"
#include "config/App_State.h"
#include "engine/Processing_Flags.h"
#include "support/Temp_Home.h"
#include "windows/File_Dialog.h"
#include "windows/Log_Actions.h"
#include "windows/Message_Box.h"
#include "windows/frmViewLog.h"

#include <QAction>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

using bc::engine::Flags;
using bc::test::Let_Deferred_Deletes_Run;
using bc::windows::File_Dialog;
using bc::windows::frmViewLog;
using bc::windows::Message_Box;

namespace {

const QString kNotActivated =
    QStringLiteral("Log file has not yet been activated. Enable log file and run the software to populate.");

QTreeView* Text_Box()
{
    frmViewLog* viewer = frmViewLog::Loaded();
    return viewer ? viewer->findChild<QTreeView*>(QStringLiteral("txtBouncedEmails")) : nullptr;
}

// The lines the viewer shows, each followed by its line end.
QString Listed_Text()
{
    QString text;
    if (const QTreeView* box = Text_Box())
        for (int i = 0; i < box->model()->rowCount(); ++i)
            text += box->model()->index(i, 0).data().toString() + QLatin1Char('\n');
    return text;
}

QAction* Menu_Entry(const char* name)
{
    return frmViewLog::Loaded() ? frmViewLog::Loaded()->findChild<QAction*>(QString::fromLatin1(name))
                                : nullptr;
}

} // namespace

class Test_Log_Viewer : public QObject
{
    Q_OBJECT

    std::unique_ptr<bc::test::Temp_Home> home_;
    QString log_;

    void Write_Log(const QByteArray& content) const
    {
        QFile file(log_);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

private Q_SLOTS:
    void initTestCase() { bc::windows::Install_Message_Boxes(); }

    void init()
    {
        home_ = std::make_unique<bc::test::Temp_Home>();
        QVERIFY(QDir().mkpath(home_->Data_Folder()));
        bc::App().Data_Folder = home_->Data_Folder();
        log_ = home_->Data_Folder() + QStringLiteral("bouncedemails.log");
        Message_Box::clearShown();
        File_Dialog::clearShown();
        Flags() = {};
    }

    void cleanup()
    {
        if (frmViewLog* viewer = frmViewLog::Loaded())
            viewer->close();
        Let_Deferred_Deletes_Run();
        QVERIFY(!frmViewLog::Loaded());
        home_.reset();
    }

    void the_log_is_listed_line_by_line_in_its_code_page()
    {
        // CR LF and a bare LF line end, Windows-1252 letters, a last line
        // without a line end.
        Write_Log("2024-05-01 10:00 Found caf\xe9@example.com\r\n\x80 second\nlast");
        bc::windows::Open_Log(nullptr);
        frmViewLog* viewer = frmViewLog::Loaded();
        QVERIFY(viewer);
        QVERIFY(viewer->isVisible());
        QVERIFY(!viewer->isModal());
        QCOMPARE(viewer->windowTitle(), QStringLiteral("Bounced Emails Log"));
        QCOMPARE(Listed_Text(),
                 QString::fromUtf8("2024-05-01 10:00 Found café@example.com\n€ second\nlast\n"));
        QCOMPARE(Text_Box()->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(Menu_Entry("mnuSaveAs")->text(), QStringLiteral("Save As ..."));
        QCOMPARE(Menu_Entry("mnuExit")->text(), QStringLiteral("Exit"));
        QCOMPARE(Message_Box::shown(), QStringList());
        QVERIFY(!Flags().Abort_Requested);

        // Opened again while open: the same viewer lists the lines again.
        bc::windows::Open_Log(nullptr);
        QCOMPARE(frmViewLog::Loaded(), viewer);
        QCOMPARE(Listed_Text(),
                 QString::fromUtf8("2024-05-01 10:00 Found café@example.com\n€ second\nlast\n").repeated(2));
    }

    void a_long_log_opens_at_its_end_and_closing_stops_the_listing()
    {
        const int total = 20000;
        QByteArray content;
        for (int i = 1; i <= total; ++i)
            content += "line " + QByteArray::number(i) + "\r\n";
        Write_Log(content);
        bc::windows::Open_Log(nullptr);
        QCOMPARE(frmViewLog::Loaded()->Line_Count(), total);
        QTRY_COMPARE(Text_Box()->model()->rowCount(), total);
        QScrollBar* bar = Text_Box()->verticalScrollBar();
        QTRY_VERIFY2(bar->maximum() > 0 && bar->value() == bar->maximum(),
                     qPrintable(QString("%1 %2").arg(bar->value()).arg(bar->maximum())));
        frmViewLog::Loaded()->close();
        Let_Deferred_Deletes_Run();

        // Closed in the listing's first pause, the viewer gets no more lines.
        int atClose = -1;
        QTimer::singleShot(0, this, [&] {
            atClose = frmViewLog::Loaded()->Line_Count();
            frmViewLog::Loaded()->close();
        });
        bc::windows::Open_Log(nullptr);
        QVERIFY2(atClose > 0 && atClose < total, qPrintable(QString::number(atClose)));
        QVERIFY(Flags().Abort_Requested);
        QVERIFY(!frmViewLog::Loaded());
        QCOMPARE(Message_Box::shown(), QStringList());
    }

    void exit_and_escape_close_the_viewer_and_ask_a_run_to_stop()
    {
        Write_Log("one\r\n");
        for (bool escape : {false, true}) {
            Flags() = {};
            bc::windows::Open_Log(nullptr);
            QPointer<frmViewLog> viewer = frmViewLog::Loaded();
            Flags().Processing_Active = true;
            if (escape) {
                viewer->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(viewer));
                QTest::keyClick(viewer, Qt::Key_Escape);
            } else {
                Menu_Entry("mnuExit")->trigger();
            }
            QVERIFY(Flags().Abort_Requested);
            QVERIFY(!frmViewLog::Loaded());
            Let_Deferred_Deletes_Run();
            QVERIFY(!viewer);
        }
    }

    void an_unreadable_log_is_reported_and_the_viewer_keeps_nothing()
    {
        // A named pipe in the log's place: the listing says so at once
        // instead of waiting on it (the other stand-ins are refused by the
        // same open, see test_config_text_file).
        QCOMPARE(::mkfifo(QFile::encodeName(log_).constData(), 0600), 0);
        ::alarm(60); // a blocking read ends the test program instead of hanging it
        Message_Box::setNextAnswer(QMessageBox::Ok);
        bc::windows::Open_Log(nullptr);
        ::alarm(0);
        QCOMPARE(Message_Box::shown().size(), 1);
        QVERIFY2(
            Message_Box::shown().constFirst().startsWith(QStringLiteral("Failed listing log. Error: ")) &&
                Message_Box::shown().constFirst().contains(QStringLiteral("not a regular file")),
            qPrintable(Message_Box::shown().constFirst()));
        QVERIFY(frmViewLog::Loaded());
        QCOMPARE(Listed_Text(), QString());
    }

    void save_as_copies_the_log_over_the_chosen_file_or_nothing()
    {
        const QByteArray content = "first \xe9\r\nsecond\r\n";
        Write_Log(content);
        bc::windows::Open_Log(nullptr);
        const QString target = home_->Write(QStringLiteral("copies/saved.log"), "older and longer content");
        File_Dialog::setNextAnswer(target);
        Menu_Entry("mnuSaveAs")->trigger();

        QCOMPARE(home_->Read(target), content);
        QCOMPARE(home_->Read(log_), content);
        QCOMPARE(File_Dialog::shown().size(), 1);
        const File_Dialog::Request& asked = File_Dialog::shown().constFirst();
        QVERIFY(asked.Save);
        QCOMPARE(asked.Title, QStringLiteral("Save As"));
        QCOMPARE(asked.Folder, QDir::current().filePath(QStringLiteral("bouncedemails.log")));
        QVERIFY(asked.Filter.contains(QStringLiteral("(*)")));
        QVERIFY(frmViewLog::Loaded());

        // Cancelled or failing, it copies nothing and says nothing.
        const QString copies = home_->Path() + QStringLiteral("/others");
        QVERIFY(QDir().mkpath(copies));
        File_Dialog::setNextCancel();
        Menu_Entry("mnuSaveAs")->trigger();
        QCOMPARE(QDir(copies).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());

        // A folder that does not exist, and the log gone before the copy.
        File_Dialog::setNextAnswer(copies + QStringLiteral("/missing/saved.log"));
        Menu_Entry("mnuSaveAs")->trigger();
        QVERIFY(!QFileInfo::exists(copies + QStringLiteral("/missing")));
        bc::windows::Clear_Log();
        File_Dialog::setNextAnswer(copies + QStringLiteral("/saved.log"));
        Menu_Entry("mnuSaveAs")->trigger();
        QCOMPARE(QDir(copies).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());

        QCOMPARE(File_Dialog::shown().size(), 4);
        QCOMPARE(Message_Box::shown(), QStringList());
        QVERIFY(frmViewLog::Loaded());
    }

    void clear_log_deletes_even_a_read_only_log_and_ignores_a_missing_one()
    {
        Write_Log("line\r\n");
        QVERIFY(QFile::setPermissions(log_, QFile::ReadOwner | QFile::ReadUser));
        bc::windows::Clear_Log();
        QVERIFY(!QFileInfo::exists(log_));
        QVERIFY(QFileInfo::exists(home_->Data_Folder()));

        bc::windows::Clear_Log();
        QVERIFY(!QFileInfo::exists(log_));
        QCOMPARE(Message_Box::shown(), QStringList());

        // Without a log the user is told, no viewer opens and no run is stopped.
        Flags().Abort_Requested = true;
        Message_Box::setNextAnswer(QMessageBox::Ok);
        bc::windows::Open_Log(nullptr);
        QCOMPARE(Message_Box::shown(), QStringList{kNotActivated});
        QVERIFY(!frmViewLog::Loaded());
        QVERIFY(!Flags().Abort_Requested);
    }

    void the_text_box_keeps_filling_the_viewer_when_it_is_resized()
    {
        Write_Log("line\r\n");
        bc::windows::Open_Log(nullptr);
        frmViewLog* viewer = frmViewLog::Loaded();
        QVERIFY(QTest::qWaitForWindowExposed(viewer));
        auto* text = Text_Box();
        QWidget* client = viewer->centralWidget();
        // The same small margin on every side, before and after resizing.
        auto Margins = [&] {
            const QRect t = text->geometry();
            return QList<int>{t.left(), t.top(), client->width() - t.right() - 1,
                              client->height() - t.bottom() - 1};
        };
        auto Fills = [&](const QList<int>& margins) {
            return std::all_of(margins.begin(), margins.end(), [](int m) { return m >= 0 && m <= 12; });
        };
        const QSize size0 = viewer->size();
        QVERIFY2(Fills(Margins()), qPrintable(QDebug::toString(Margins())));

        viewer->resize(size0 * 2);
        QTRY_COMPARE(client->size(), viewer->size() - QSize(0, viewer->menuBar()->height()));
        QTRY_VERIFY2(Fills(Margins()), qPrintable(QDebug::toString(Margins())));

        viewer->resize(size0 * 0.6);
        QTRY_COMPARE(viewer->size(), size0 * 0.6);
        QTRY_VERIFY2(Fills(Margins()), qPrintable(QDebug::toString(Margins())));
    }
};

QTEST_MAIN(Test_Log_Viewer)
#include "test_log_viewer.moc"
