// The unattended run on a cold and on a warm cache (the fastest of three warm
// runs), without and with reading ahead, beside one and sixteen readers of
// the same files, over 100,000 messages (1,000 returned) and contacts and
// over 1,000,000 (10,000 returned). Each profile is generated once into the
// cache folder and kept there; every run puts it back as it was. Each run is
// a child process, for its own peak memory.
//
//   bench_cold_run [cache folder [100k|1m|both [warm]]]
//
// The cache folder defaults to ~/.cache/brindlecast-bench (about 1 GB for
// 100k, 10 GB for 1m). A cold figure needs root (the cache is dropped through
// /proc/sys/vm/drop_caches); otherwise, or with "warm", only warm figures
// are taken.

#include "engine/Run.h"
#include "engine/Run_Interfaces.h"
#include "engine/Stored_Choices.h"
#include "outlook/Parallel_Reads.h"

#include "Bench_Run_Profile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace bc;
using namespace bc::bench;

namespace {

struct Size
{
    const char* label;
    Scale scale;
};

// The fastest of three: one warm run on a shared machine is easily off by a
// tenth. As many at both sizes, so that neither figure is the luckier for
// being picked from more.
constexpr int kWarmRounds = 3;

bool Drop_Cache()
{
    ::sync();
    const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, "3\n", 2) == 2;
    ::close(fd);
    return ok;
}

double Free_Gb(const QString& folder)
{
    struct statvfs st
    {
    };
    if (::statvfs(QFile::encodeName(folder).constData(), &st) != 0)
        return 0;
    return double(st.f_bavail) * double(st.f_frsize) / 1e9;
}

struct Figure
{
    double seconds = -1;
    double rssMb = 0;
    // Seconds from the start to the message table, the scan, the contacts and
    // the disposal.
    double stages[4] = {-1, -1, -1, -1};
};

// When each stage of the run began.
class Stage_Clock : public engine::Progress_View
{
public:
    explicit Stage_Clock(const QElapsedTimer& timer, double (&stages)[4]) : timer_(timer), stages_(stages) {}
    void Show_Window() override {}
    void Add_Line(const QString&) override {}
    void Stage_Started(engine::Run_Stage stage, qint64, const QString&) override
    {
        const int i = stage == engine::Run_Stage::Reading_Messages    ? 0
                      : stage == engine::Run_Stage::Scanning_Messages ? 1
                      : stage == engine::Run_Stage::Checking_Contacts ? 2
                                                                      : 3;
        if (stages_[i] < 0)
            stages_[i] = double(timer_.nsecsElapsed()) / 1e9;
    }

private:
    const QElapsedTimer& timer_;
    double (&stages_)[4];
};

// The run in a child process: wall time and peak resident memory.
Figure Run_Child(bool readAhead)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    std::fflush(stdout);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1); // the progress lines
        outlook::Set_Read_Ahead_Enabled(readAhead);
        engine::Stored_Contact_Action_Choices choices;
        Figure f;
        QElapsedTimer timer;
        Stage_Clock clock(timer, f.stages);
        timer.start();
        engine::ConvertCurrent(false, engine::Run_Context{choices, nullptr, &clock});
        f.seconds = double(timer.nsecsElapsed()) / 1e9;
        std::fflush(stdout);
        const bool sent = ::write(pipeFds[1], &f, sizeof f) == sizeof f;
        ::_exit(sent ? 0 : 1);
    }
    ::close(pipeFds[1]);
    Figure f;
    if (::read(pipeFds[0], &f, sizeof f) != sizeof f)
        f = Figure{};
    ::close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    f.rssMb = double(usage.ru_maxrss) / 1024.0;
    return f;
}

// What the run reads: every message of the Inbox and every contact.
std::vector<QByteArray> Run_Files(const QString& root)
{
    std::vector<QByteArray> paths;
    for (const QString& folder : {root + "/Inbox/cur", root + "/Contacts"})
        for (const QString& name : QDir(folder).entryList(QDir::Files))
            paths.push_back(QFile::encodeName(folder + "/" + name));
    return paths;
}

void Read_Whole(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    thread_local std::vector<char> buffer(1 << 16);
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
}

Figure Read_All(const QString& root, bool parallel)
{
    QElapsedTimer timer;
    timer.start();
    const std::vector<QByteArray> paths = Run_Files(root);
    if (parallel) {
        outlook::Set_Read_Ahead_Enabled(true); // sixteen readers
        outlook::Read_In_Parallel(paths.size(), [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i)
                Read_Whole(paths[i]);
        });
    } else {
        for (const QByteArray& path : paths)
            Read_Whole(path);
    }
    return {double(timer.nsecsElapsed()) / 1e9, 0};
}

struct Row
{
    const char* what;
    Figure cold;
    Figure warm;
};

void Print(const char* size, const Row& r)
{
    const auto cell = [](const Figure& f) {
        return f.seconds < 0 ? QByteArray("      -")
                             : QByteArray::number(f.seconds, 'f', 2).rightJustified(7);
    };
    const double rss = std::max(r.cold.rssMb, r.warm.rssMb);
    const auto stages = [](const Figure& f) {
        if (f.stages[0] < 0)
            return QByteArray();
        QByteArray text;
        const double ends[4] = {f.stages[1], f.stages[2], f.stages[3], f.seconds};
        double from = 0;
        for (int i = 0; i < 4; ++i) {
            const double to = ends[i] < 0 ? from : ends[i];
            text += QByteArray::number(to - from, 'f', 2) + (i < 3 ? "/" : "");
            from = to;
        }
        return text;
    };
    std::printf("%-5s %-32s %s %s %s  %s | %s\n", size, r.what, cell(r.cold).constData(),
                cell(r.warm).constData(),
                rss > 0 ? QByteArray::number(rss, 'f', 0).rightJustified(8).constData() : "       -",
                stages(r.cold).constData(), stages(r.warm).constData());
    std::fflush(stdout);
}

struct Size_Figures
{
    Row before{"run, no read-ahead", {}, {}};
    Row after{"run, read-ahead", {}, {}};
    Row plain{"read the same files, 1 reader", {}, {}};
    Row parallel{"read the same files, 16 readers", {}, {}};
};

Size_Figures Measure(const QString& cache, const Size& size, bool cold)
{
    const QString dir = cache + "/" + size.label;
    QString storeId;
    if (!QFile::exists(dir + "/complete")) {
        QDir(dir).removeRecursively();
        const double freeBefore = Free_Gb(cache);
        QElapsedTimer timer;
        timer.start();
        // In a child of its own: what the generator leaves on this process's
        // heap would count in the peak memory of every run forked after it.
        std::fflush(stdout);
        const pid_t pid = ::fork();
        if (pid == 0) {
            const QString root = Use_Profile_Folder(dir);
            Generate_Profile(root, size.scale);
            Run_Changes(root).Save_To(dir + "/originals");
            ::sync();
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::printf("%s: the profile could not be generated\n", size.label);
            std::exit(1);
        }
        std::printf("%s: profile generated in %.0f s, %.1f GB of disk\n", size.label,
                    double(timer.nsecsElapsed()) / 1e9, freeBefore - Free_Gb(cache));
        Write(dir + "/complete", "generated\n");
    }
    const QString root = Use_Profile_Folder(dir, &storeId);
    Set_Up_Run(storeId, false);
    const Run_Changes changes(root, dir + "/originals");

    Size_Figures f;
    for (Row* row : {&f.before, &f.after}) {
        const bool readAhead = row == &f.after;
        changes.Put_Back();
        if (cold && Drop_Cache())
            row->cold = Run_Child(readAhead);
        changes.Put_Back();
        Run_Child(readAhead); // the cache filled the same way for both
        for (int round = 0; round < kWarmRounds; ++round) {
            changes.Put_Back();
            const Figure warm = Run_Child(readAhead);
            if (round == 0 || warm.seconds < row->warm.seconds)
                row->warm = warm;
        }
    }
    changes.Put_Back();
    for (Row* row : {&f.plain, &f.parallel}) {
        if (cold && Drop_Cache())
            row->cold = Read_All(root, row == &f.parallel);
        row->warm = Read_All(root, row == &f.parallel);
    }
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString cache = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                   : QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                                         "/brindlecast-bench";
    const QByteArray which = argc > 2 ? QByteArray(argv[2]) : QByteArray("both");
    QDir().mkpath(cache);
    const bool warmOnly = argc > 3 && QByteArray(argv[3]) == "warm";
    const bool cold = !warmOnly && Drop_Cache();
    if (!cold && !warmOnly)
        std::printf("cannot drop the system's cache (needs root): warm figures only\n");

    const Size small{"100k", {100000, 1000, 100000, 300}};
    const Size large{"1m", {1000000, 10000, 1000000, 3000}};
    std::optional<Size_Figures> figures[2];
    if (which != "1m")
        figures[0] = Measure(cache, small, cold);
    if (which != "100k")
        figures[1] = Measure(cache, large, cold);

    std::printf("\n%-5s %-32s %7s %7s %8s  %s\n", "size", "", "cold s", "warm s", "peak MB",
                "seconds to the table/scan/contacts/disposal, cold | warm");
    for (int i = 0; i < 2; ++i)
        if (figures[i])
            for (const Row* row :
                 {&figures[i]->before, &figures[i]->after, &figures[i]->plain, &figures[i]->parallel})
                Print(i == 0 ? small.label : large.label, *row);

    bool ok = true;
    for (const auto& f : figures) {
        if (!f || !cold)
            continue;
        const double ratio = f->after.cold.seconds / f->parallel.cold.seconds;
        std::printf("cold run with read-ahead / 16 readers: %.2fx (target at most 1.5x)\n", ratio);
        ok = ok && ratio <= 1.5;
    }
    if (figures[0] && figures[1]) {
        const double growth = figures[1]->after.warm.seconds / figures[0]->after.warm.seconds;
        const double rss = std::max(figures[1]->after.warm.rssMb, figures[1]->after.cold.rssMb);
        std::printf("1m / 100k, warm: %.1fx (target at most 11x); peak memory at 1m %.0f MB (target under "
                    "1024)\n",
                    growth, rss);
        ok = ok && growth <= 11 && rss < 1024;
    }
    std::printf("targets: %s\n", ok ? "met" : "NOT met");
    return ok ? 0 : 1;
}
