// Listing the bounced e-mails log in the viewer and adding rows to the
// progress window. Opening a log of 100,000 lines must take at most 0.5 s,
// and the time per line must stay flat as the log grows.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
//
//   bench_windows_log_listing [lines]     (default 100000: log sizes lines/4, /2, x1;
//                                          progress rows at a tenth of that)

#include "config/App_State.h"
#include "windows/Log_Actions.h"
#include "windows/frmStatusAnalysis.h"
#include "windows/frmViewLog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextEdit>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace bc;

namespace {

QByteArray Line(int i)
{
    return "05/01/2024 10:00:00 Contact Found: Jane Doe <jane" + QByteArray::number(i) +
           "@example.com> in Contacts";
}

bool Write_Log(const QString& path, int lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (int i = 0; i < lines; ++i)
        file.write(Line(i) + "\r\n");
    return true;
}

// The lines the viewer holds, whether its text box is a list view or a
// text edit (as it was), so that the figures can be taken before and after.
int Listed_Lines(const QWidget& viewer)
{
    const QWidget* box = viewer.findChild<QWidget*>(QStringLiteral("txtBouncedEmails"));
    if (const auto* view = qobject_cast<const QAbstractItemView*>(box))
        return view->model()->rowCount();
    if (const auto* text = qobject_cast<const QTextEdit*>(box))
        return text->document()->blockCount() - 1; // the block after the last line end
    return -1;
}

void Report(const char* what, int lines, qint64 ns)
{
    std::printf("%-32s %6d lines %9.1f ms %8.1f us per line\n", what, lines, ns / 1e6, ns / 1e3 / lines);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int most = argc > 1 ? std::max(400, std::atoi(argv[1])) : 100000;
    QTemporaryDir work;
    if (!work.isValid()) {
        std::fprintf(stderr, "cannot create a work folder\n");
        return 1;
    }
    App().Data_Folder = work.path() + QLatin1Char('/');
    const QString log = App().Data_Folder + QStringLiteral("bouncedemails.log");
    QElapsedTimer timer;
    qint64 whole = 0;

    for (int lines : {most / 4, most / 2, most}) {
        if (!Write_Log(log, lines)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(log));
            return 1;
        }
        timer.start();
        windows::Open_Log(nullptr);
        const qint64 ns = timer.nsecsElapsed();
        windows::frmViewLog* viewer = windows::frmViewLog::Loaded();
        if (!viewer || Listed_Lines(*viewer) != lines) {
            std::fprintf(stderr, "the viewer did not list all %d lines\n", lines);
            return 1;
        }
        Report("log viewer open", lines, ns);
        if (lines == most)
            whole = ns;
        viewer->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    for (int lines : {most / 40, most / 20, most / 10}) {
        windows::Progress_Window().Show_Window();
        timer.start();
        for (int i = 0; i < lines; ++i) {
            windows::Progress_Window().Add_Line(QString::fromLatin1(Line(i)));
            QCoreApplication::processEvents();
        }
        Report("progress window rows", lines, timer.nsecsElapsed());
        windows::frmStatusAnalysis::Instance().close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    const bool ok = most < 100000 || whole <= 500'000'000;
    std::printf("target (a 100,000-line log opens within 0.5 s): %s\n",
                most < 100000 ? "not measured below 100000 lines"
                : ok          ? "met"
                              : "NOT met");
    return ok ? 0 : 1;
}
