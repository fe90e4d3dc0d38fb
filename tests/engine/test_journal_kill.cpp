// The real program's unattended run over the demo profile, killed (SIGKILL)
// at random moments of its work, then `brindlecast --undo-last-run`: every
// contact, task and message is exactly as before the run.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

#include <climits>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

const QString kProgramDir = QStringLiteral(BC_PROGRAM_DIR);

using Snapshot = std::map<QString, QByteArray>;

// The profile's contacts, tasks and messages; a temporary file that a kill
// left behind is none of these.
Snapshot Items(const QString& profile)
{
    Snapshot items;
    QDirIterator it(profile, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString folder = it.fileInfo().dir().dirName();
        if (!path.endsWith(QLatin1String(".vcf")) && !path.endsWith(QLatin1String(".ics")) &&
            folder != QLatin1String("cur") && folder != QLatin1String("new"))
            continue;
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            items[QDir(profile).relativeFilePath(path)] = f.readAll();
    }
    return items;
}

// Points the programs started from here at `home`.
void Use_Home(const QString& home)
{
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home + QStringLiteral("/data")).toLocal8Bit());
    qputenv("BRINDLECAST_PROFILE", (home + QStringLiteral("/profile")).toLocal8Bit());
}

struct Child
{
    pid_t pid = -1;
    int out = -1; // its standard output
};

Child Start(const QString& program, const QStringList& arguments)
{
    const QByteArray path = QFile::encodeName(kProgramDir + QLatin1Char('/') + program);
    std::vector<QByteArray> args{path};
    for (const QString& a : arguments)
        args.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    Child child;
    if (posix_spawn(&child.pid, path.constData(), &actions, nullptr, argv.data(), environ) != 0)
        child.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    child.out = pipeFds[0];
    return child;
}

// Reads the child's output until `lines` lines have come (or it ends);
// the number read.
int Read_Lines(const Child& child, int lines)
{
    int seen = 0;
    char c;
    while (seen < lines && ::read(child.out, &c, 1) == 1)
        seen += c == '\n' ? 1 : 0;
    return seen;
}

int Wait(Child& child)
{
    int status = 0;
    ::waitpid(child.pid, &status, 0);
    ::close(child.out);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int Run_To_End(const QString& program, const QStringList& arguments)
{
    Child child = Start(program, arguments);
    Read_Lines(child, INT_MAX);
    return Wait(child);
}

bool Copy_Tree(const QString& from, const QString& to)
{
    std::error_code error;
    std::filesystem::copy(from.toStdString(), to.toStdString(), std::filesystem::copy_options::recursive, error);
    return !error;
}

} // namespace

TEST(Journal_Kill, ARunKilledAnywhereIsUndoneToExactlyTheStateBeforeIt)
{
    QTemporaryDir base;
    ASSERT_TRUE(base.isValid());
    const QString templateHome = base.filePath(QStringLiteral("template"));
    Use_Home(templateHome);
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ASSERT_EQ(
        Run_To_End(QStringLiteral("brindlecast-demo-profile"), {templateHome + QStringLiteral("/profile")}),
        0);
    ASSERT_EQ(
        Run_To_End(QStringLiteral("brindlecast-demo-setup"), {templateHome + QStringLiteral("/profile")}), 0);

    // A whole run, to know how many lines it prints.
    const QString whole = base.filePath(QStringLiteral("whole"));
    ASSERT_TRUE(Copy_Tree(templateHome, whole));
    Use_Home(whole);
    Child run = Start(QStringLiteral("brindlecast"), {QStringLiteral("--run")});
    const int lines = Read_Lines(run, INT_MAX);
    ASSERT_EQ(Wait(run), 0);
    ASSERT_GT(lines, 20);
    ASSERT_NE(Items(whole + QStringLiteral("/profile")), Items(templateHome + QStringLiteral("/profile")));

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    int killedMidway = 0;
    for (int round = 0; round < 12; ++round) {
        const QString home = base.filePath(QStringLiteral("round%1").arg(round));
        ASSERT_TRUE(Copy_Tree(templateHome, home));
        Use_Home(home);
        const QString profile = home + QStringLiteral("/profile");
        const Snapshot before = Items(profile);

        // Killed after a random line, a random moment later: between any two
        // of the changes that follow a line.
        const int afterLines = std::uniform_int_distribution<int>(0, lines - 1)(random);
        const int micros = std::uniform_int_distribution<int>(0, 4000)(random);
        SCOPED_TRACE(QStringLiteral("seed %1, killed %2 us after line %3")
                         .arg(seed)
                         .arg(micros)
                         .arg(afterLines)
                         .toStdString());
        Child child = Start(QStringLiteral("brindlecast"), {QStringLiteral("--run")});
        ASSERT_GT(child.pid, 0);
        const bool ended = Read_Lines(child, afterLines) < afterLines;
        ::usleep(useconds_t(micros));
        ::kill(child.pid, SIGKILL);
        Wait(child);
        killedMidway += !ended && Items(profile) != before ? 1 : 0;

        const int undo = Run_To_End(QStringLiteral("brindlecast"), {QStringLiteral("--undo-last-run")});
        EXPECT_TRUE(undo == 0 || undo == 1) << undo; // 1: killed before its first change
        EXPECT_TRUE(Items(profile) == before);
    }
    // The kills did land in the middle of the work.
    EXPECT_GE(killedMidway, 3);
}
