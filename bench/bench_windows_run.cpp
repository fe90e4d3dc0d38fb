// The "All" run clicked in the main window against the same run unattended,
// on a generated profile whose run reports about 10,000 progress lines:
// 24,000 messages (8,000 returned) and 5,000 contacts, 1,000 of which carry a
// bounced address and are deleted; the returned messages are moved. The
// window's run must stay within 1.5 times the unattended one: the progress
// window may not cost more than the work it reports.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise. Both
// are timed on the wall clock (the target) and in CPU time, which a busy
// shared machine disturbs less.
//
//   bench_windows_run [work folder [percent]]
//
// The work folder defaults to the system's temporary folder (a tmpfs such as
// /dev/shm keeps the disk out of the figures); a percent below 100 scales
// every count down for a quick look (the target applies at 100).

#include "config/App_State.h"
#include "config/Contact_Folder_List.h"
#include "config/Identifier_Lists.h"
#include "config/Registry_Routines.h"
#include "outlook/Outlook_Session.h"
#include "outlook/Profile.h"
#include "windows/Message_Box.h"
#include "windows/Processing_Entry.h"
#include "windows/frmMain.h"
#include "windows/frmStatusAnalysis.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

using namespace bc;

namespace {

struct Scale
{
    int messages;
    int returned;
    int contacts;
    int matching;
};

void Write(const QString& path, const QByteArray& data)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
}

QByteArray Bounced_Address(int k)
{
    return "user" + QByteArray::number(k) + "@example.net";
}

void Generate(const QString& root, const Scale& s)
{
    const int step = s.messages / s.returned;
    for (int i = 0, bounce = 0; i < s.messages; ++i) {
        const QByteArray unique =
            QByteArray::number(1600000000 + i) + ".M" + QByteArray::number(i) + "P7.bench";
        QByteArray text = "Date: Mon, 2 Mar 2026 10:00:00 +0000\r\nMIME-Version: 1.0\r\n"
                          "To: Jane Doe <jane.doe@example.com>\r\n"
                          "Content-Type: text/plain; charset=us-ascii\r\n";
        if (i % step == 0 && bounce < s.returned) {
            const QByteArray failed = Bounced_Address(bounce++);
            text += "From: Mail Delivery System <MAILER-DAEMON@mx.example.net>\r\n"
                    "Subject: Undelivered Mail Returned to Sender\r\n\r\n"
                    "This is the mail system at host mx.example.net.\r\n\r\n<" +
                    failed + ">: host mx2.example.net said: 550 5.1.1 User unknown\r\n";
        } else {
            text += "From: Anna <anna@example.org>\r\nSubject: Re: report " + QByteArray::number(i) +
                    "\r\n\r\nThe quarterly report shows steady progress on all open items.\r\n";
        }
        Write(root + "/Inbox/cur/" + QString::fromLatin1(unique) + ":2,S", text);
    }
    const int every = s.contacts / s.matching;
    for (int i = 0, match = 0; i < s.contacts; ++i) {
        const QByteArray n = QByteArray::number(i);
        QByteArray email = "contact" + n + "@example.com";
        if (i % every == 0 && match < s.matching)
            email = Bounced_Address(match++ * (s.returned / s.matching));
        Write(root + "/Contacts/c" + QString::number(i).rightJustified(6, QLatin1Char('0')) + ".vcf",
              "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:bench-" + n + "\r\nFN:Contact " + n + "\r\nN:" + n +
                  ";Contact;;;\r\nEMAIL;TYPE=INTERNET:" + email + "\r\nEND:VCARD\r\n");
    }
    ::sync();
}

// A fresh profile, settings and database list in `dir`: delete the matching
// contacts, move the returned messages to "Bounced".
void Prepare(const QTemporaryDir& dir, const Scale& s)
{
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (dir.path() + "/data").toLocal8Bit());
    const QString profileFolder = dir.path() + "/profile";
    qputenv("BRINDLECAST_PROFILE", profileFolder.toLocal8Bit());
    Set_Data_Folder();
    outlook::Set_Profile_User(profileFolder, "Jane Doe", "jane.doe@example.com");
    const QString storeId = outlook::Open_Profile(profileFolder)->Stores.front().Id;
    const QString root = profileFolder + "/Personal Folders";
    for (const char* sub : {"cur", "new", "tmp"})
        QDir().mkpath(root + "/Bounced/" + sub);
    Generate(root, s);

    Save_Setting(Contact_Action, 0);
    Save_Setting(Email_What_To_Do, 3);
    Save_Setting(Email_Destination_EntryID, outlook::Entry_ID_To_Hex("Bounced"));
    Save_Setting(Email_Destination_StoreID, storeId);
    Save_Setting(Log_Enabled, 0);
    Save_Search_Strings(Fallback_Search_Strings());
    Save_No_Check_Strings({QStringLiteral("jane.doe@example.com")});
    Folders().Contact_Folder_List = {
        {"Contacts", "Personal Folders", outlook::Entry_ID_To_Hex("Contacts"), storeId}};
    Save_Contact_Folder_List();
}

double Cpu_Seconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

struct Figures
{
    double seconds = 0;
    double cpu = 0;
    int lines = 0;
    int moved = 0;
};

int Moved(const QTemporaryDir& dir)
{
    return static_cast<int>(
        QDir(dir.path() + "/profile/Personal Folders/Bounced/cur").entryList(QDir::Files).size());
}

// The program started with a command line: the main window's start-up
// without showing it, the "All" run, the end.
Figures Unattended(const QString& base, const Scale& s)
{
    QTemporaryDir dir(base + "/bc-bench-wrun-XXXXXX");
    Prepare(dir, s);
    // The lines go to standard output: into a file, to be counted.
    std::fflush(stdout);
    const QString out = dir.path() + "/lines.txt";
    const int saved = ::dup(1);
    const int file = ::open(out.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(file, 1);
    Figures f;
    {
        windows::frmMain window;
        windows::Install_Processing(window);
        QElapsedTimer timer;
        const double cpu = Cpu_Seconds();
        timer.start();
        window.Load(QStringLiteral("unattended"));
        f.seconds = timer.nsecsElapsed() / 1e9;
        f.cpu = Cpu_Seconds() - cpu;
    }
    std::fflush(stdout);
    ::dup2(saved, 1);
    ::close(file);
    ::close(saved);
    App().Auto_Run = false;
    QFile lines(out);
    if (lines.open(QIODevice::ReadOnly))
        f.lines = static_cast<int>(lines.readAll().count('\n'));
    f.moved = Moved(dir);
    return f;
}

Figures Window(const QString& base, const Scale& s)
{
    QTemporaryDir dir(base + "/bc-bench-wrun-XXXXXX");
    Prepare(dir, s);
    Figures f;
    {
        windows::frmMain window;
        windows::Install_Processing(window);
        if (!window.Load(QString()))
            return f;
        auto* all = window.findChild<QPushButton*>(QStringLiteral("ScanEmails"));
        QElapsedTimer timer;
        const double cpu = Cpu_Seconds();
        timer.start();
        all->click(); // the run goes on inside the click, as the user's does
        f.seconds = timer.nsecsElapsed() / 1e9;
        f.cpu = Cpu_Seconds() - cpu;
        const auto* list = windows::frmStatusAnalysis::Instance().findChild<QAbstractItemView*>(
            QStringLiteral("ListContacts"));
        f.lines = list->model()->rowCount();
        windows::frmStatusAnalysis::Instance().close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    f.moved = Moved(dir);
    return f;
}

void Report(const char* label, const Figures& f)
{
    std::printf("%-22s %6d progress lines, %5d messages moved: %.3f s (CPU %.3f s)\n", label, f.lines,
                f.moved, f.seconds, f.cpu);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    windows::Install_Message_Boxes();
    const QString base = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
    const int percent = argc > 2 ? std::clamp(QByteArray(argv[2]).toInt(), 1, 100) : 100;
    const auto scaled = [percent](int n) { return std::max(1, n * percent / 100); };
    const Scale scale{scaled(24000), scaled(8000), scaled(5000), scaled(1000)};

    std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));
    // Each way twice, alternating, and the faster of the two counts: one
    // measurement on a shared machine is easily off by a fifth.
    Figures unattended;
    Figures window;
    for (int round = 1; round <= 2; ++round) {
        const Figures u = Unattended(base, scale);
        Report("unattended \"All\"", u);
        const Figures w = Window(base, scale);
        Report("main window \"All\"", w);
        const double unattendedCpu = round == 1 ? u.cpu : std::min(unattended.cpu, u.cpu);
        const double windowCpu = round == 1 ? w.cpu : std::min(window.cpu, w.cpu);
        if (round == 1 || u.seconds < unattended.seconds)
            unattended = u;
        if (round == 1 || w.seconds < window.seconds)
            window = w;
        unattended.cpu = unattendedCpu;
        window.cpu = windowCpu;
    }
    const double ratio = window.seconds / unattended.seconds;
    const bool same = window.lines == unattended.lines && window.moved == unattended.moved;
    std::printf("main window / unattended (faster of two each): x%.2f wall, x%.2f CPU%s\n", ratio,
                window.cpu / unattended.cpu, same ? "" : "  (the two runs did not do the same work)");
    const bool ok = same && ratio <= 1.5;
    std::printf("target (within 1.5x of the unattended run): %s\n", ok ? "met" : "NOT met");
    return ok ? 0 : 1;
}
