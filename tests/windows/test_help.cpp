// Help: where "Help Topic" finds the manual and what it says when there is
// none; the help browser, modal over its caller and made afresh each time,
// keeping web pages for the desktop's browser; "Online Help"; About.

#include "Main_Window_Support.h"

#include "windows/Desktop_Services.h"
#include "windows/HTML_Help.h"
#include "windows/frmAbout.h"
#include "windows/frmHelpBrowser.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

using namespace bc;
using namespace bc::test;
using bc::windows::Desktop_Services;
using bc::windows::frmHelpBrowser;
using bc::windows::HTML_Help;
using bc::windows::Message_Box;

namespace {

const QByteArray kManual =
    "<html><body><h1>Manual</h1><p id=\"about\">About</p>"
    "<a href=\"https://example.org/\">web</a> <a href=\"second.html\">next</a></body></html>";

void Write(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// Closes every help browser that comes up modally, noting what it showed.
class Browser_Watch : public QObject
{
public:
    Browser_Watch()
    {
        connect(&timer_, &QTimer::timeout, this, &Browser_Watch::Look);
        timer_.start(5);
    }
    int opened = 0;
    QUrl page;
    QWidget* owner = nullptr;

private:
    void Look()
    {
        auto* browser = qobject_cast<frmHelpBrowser*>(QApplication::activeModalWidget());
        if (!browser)
            return;
        ++opened;
        page = browser->Current_Page();
        owner = browser->parentWidget();
        Click(browser->findChild<QPushButton*>(QStringLiteral("CloseHelp")));
    }
    QTimer timer_;
};

} // namespace

class Help_Test : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { windows::Install_Message_Boxes(); }
    void init()
    {
        Message_Box::clearShown();
        opened_.clear();
        Desktop_Services::setOpenUrlHook([this](const QUrl& url) {
            opened_ << url;
            return true;
        });
    }
    void cleanup()
    {
        HTML_Help::setLocationsForTest(QString(), QString());
        Desktop_Services::setOpenUrlHook({});
    }

    void help_topic_opens_the_manual_or_says_why_not_data()
    {
        QTest::addColumn<QString>("builtIn");     // relative to the temporary folder, or as it is when blank
        QTest::addColumn<QStringList>("present"); // manuals written before the start
        QTest::addColumn<bool>("removeAfterStart");
        QTest::addColumn<QString>("opened"); // the page shown, or empty
        QTest::addColumn<QString>("message");
        const QString installed = QStringLiteral("doc/Brindlecast.html");
        const QString beside = QStringLiteral("bin/Brindlecast.html");
        QTest::newRow("installed") << installed << QStringList{installed, beside} << false << installed
                                   << QString();
        QTest::newRow("only in the program's folder")
            << installed << QStringList{beside} << false << beside << QString();
        QTest::newRow("none anywhere")
            << installed << QStringList() << false << QString() << "Help file not found.";
        QTest::newRow("path of blanks")
            << "   " << QStringList() << false << QString() << "Help file not found.";
        QTest::newRow("a folder is no manual")
            << installed << QStringList{beside + "/x"} << false << QString() << "Help file not found.";
        QTest::newRow("removed since the start")
            << installed << QStringList{installed} << true << QString() << "Help file %1 could not be opened";
    }

    void help_topic_opens_the_manual_or_says_why_not()
    {
        QFETCH(QString, builtIn);
        QFETCH(QStringList, present);
        QFETCH(bool, removeAfterStart);
        QFETCH(QString, opened);
        QFETCH(QString, message);
        QTemporaryDir dir;
        for (const QString& file : present)
            Write(dir.filePath(file), kManual);
        const QString builtInPath = builtIn.trimmed().isEmpty() ? builtIn : dir.filePath(builtIn);
        HTML_Help::setLocationsForTest(builtInPath, dir.filePath(QStringLiteral("bin")));

        Open_Window w;
        if (removeAfterStart)
            QVERIFY(QFile::remove(builtInPath));
        if (!message.isEmpty())
            Message_Box::setNextAnswer(QMessageBox::Ok);
        Browser_Watch watch;
        w.window->findChild<QAction*>(QStringLiteral("mnuHelpTopic"))->trigger();

        if (opened.isEmpty()) {
            QCOMPARE(watch.opened, 0);
            QCOMPARE(Message_Box::shown(),
                     QStringList{message.contains(QLatin1String("%1")) ? message.arg(builtInPath) : message});
            return;
        }
        QCOMPARE(watch.opened, 1);
        QCOMPARE(watch.page, QUrl::fromLocalFile(dir.filePath(opened)));
        QCOMPARE(watch.owner, w.window.get());
        QVERIFY(Message_Box::shown().isEmpty());
        // Closed and gone: the next use makes a new one.
        QVERIFY(w.window->findChildren<frmHelpBrowser*>().isEmpty());
        QVERIFY(w.window->isVisible());
    }

    void online_help_opens_the_online_manual()
    {
        for (const bool manual : {true, false}) {
            QTemporaryDir dir;
            const QString installed = dir.filePath(QStringLiteral("Brindlecast.html"));
            if (manual)
                Write(installed, kManual);
            HTML_Help::setLocationsForTest(installed, dir.filePath(QStringLiteral("bin")));
            Open_Window w;
            if (!manual)
                Message_Box::setNextAnswer(QMessageBox::Ok);
            Browser_Watch watch;
            w.window->findChild<QAction*>(QStringLiteral("OnlineManual"))->trigger();
            QCOMPARE(watch.opened, manual ? 1 : 0);
            if (manual)
                QCOMPARE(watch.page.toLocalFile(), installed);
            else
                QVERIFY(Message_Box::shown().value(0).startsWith(QStringLiteral("112 Error: ")));
            QCOMPARE(Message_Box::shown().size(), manual ? 0 : 1);
        }
    }

    void links_open_inside_or_go_to_the_desktop_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("page"); // file name shown afterwards
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<bool>("notFound");
        QTest::newRow("web page") << "https://example.org/"
                                  << "Brindlecast.html"
                                  << "https://example.org/" << false;
        QTest::newRow("local page") << "second.html"
                                    << "second.html" << QString() << false;
        QTest::newRow("missing page") << "gone.html" << QString() << QString() << true;
    }

    void links_open_inside_or_go_to_the_desktop()
    {
        QFETCH(QString, link);
        QFETCH(QString, page);
        QFETCH(QString, desktop);
        QFETCH(bool, notFound);
        QTemporaryDir dir;
        Write(dir.filePath(QStringLiteral("Brindlecast.html")), kManual);
        Write(dir.filePath(QStringLiteral("second.html")), "<p>Second</p>");
        frmHelpBrowser browser(nullptr);
        browser.Navigate(QUrl::fromLocalFile(dir.filePath(QStringLiteral("Brindlecast.html"))));
        auto* view = browser.findChild<QTextBrowser*>(QStringLiteral("WebBrowser1"));
        QVERIFY(view);
        Q_EMIT view->anchorClicked(QUrl(link));
        QCOMPARE(opened_, desktop.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(desktop)});
        if (notFound)
            QVERIFY(view->toPlainText().contains(QStringLiteral("could not be found")));
        else
            QCOMPARE(browser.Current_Page().fileName(), page);
    }

    void about_shows_the_build_and_opens_pages_over_itself()
    {
        QTemporaryDir dir;
        const QString installed = dir.filePath(QStringLiteral("Brindlecast.html"));
        Write(installed, kManual);
        HTML_Help::setLocationsForTest(installed, dir.filePath(QStringLiteral("bin")));
        Open_Window w;
        w.window->findChild<QAction*>(QStringLiteral("AboutQuorin"))->trigger();
        windows::frmAbout* about = windows::frmAbout::Loaded();
        QVERIFY(about && about->isVisible());
        QVERIFY(!about->isModal());
        QCOMPARE(about->windowTitle(), QStringLiteral("About Brindlecast"));
        QCOMPARE(Find<QLineEdit>(about, "txtVersionNumber")->text(), QStringLiteral(BRINDLECAST_VERSION));
        QVERIFY(Find<QPushButton>(about, "ResellerHomePage")
                    ->text()
                    .remove(QLatin1Char('&'))
                    .startsWith(QStringLiteral("This product is distributed by ")));

        Browser_Watch watch;
        Click(Find<QPushButton>(about, "Quorinhome"));
        QCOMPARE(watch.opened, 1);
        QCOMPARE(watch.owner, about);
        QCOMPARE(watch.page.toLocalFile(), installed);

        // Asking again brings up the same window; OK closes it.
        w.window->findChild<QAction*>(QStringLiteral("AboutQuorin"))->trigger();
        QCOMPARE(windows::frmAbout::Loaded(), about);
        Click(Find<QPushButton>(about, "ok_button"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!windows::frmAbout::Loaded());
    }

private:
    QList<QUrl> opened_;
};

QTEST_MAIN(Help_Test)
#include "test_help.moc"
