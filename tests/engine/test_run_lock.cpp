// One processing at a time per data folder: a second process is refused at
// once, and the lock goes with the process that held it, however it ends.

#include "config/App_State.h"
#include "config/User_Messages.h"
#include "engine/Processing_Flags.h"
#include "engine/Run.h"
#include "engine/Run_Lock.h"
#include "engine/Unattended_Start.h"
#include "support/Temp_Home.h"

#include <QDirIterator>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace bc;
using namespace bc::engine;

namespace {

// Another running program holding the data folder's lock until it is killed.
class Other_Run
{
public:
    Other_Run()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            Run_Lock lock;
            const char held = lock.Held() ? 'y' : 'n';
            [[maybe_unused]] const ssize_t n = ::write(fds[1], &held, 1);
            ::pause();
            ::_exit(0);
        }
        ::close(fds[1]);
        char held = 'n';
        held_ = ::read(fds[0], &held, 1) == 1 && held == 'y';
        ::close(fds[0]);
    }
    ~Other_Run() { Kill(); }
    void Kill()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
    }
    bool Held() const { return held_; }
    pid_t Pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    bool held_ = false;
};

class Recorded_Messages final : public User_Messages
{
public:
    Recorded_Messages() { Set_Messages(this); }
    ~Recorded_Messages() override { Set_Messages(nullptr); }
    QStringList shown;
    void Show_Message(const QString& text) override { shown.append(text); }
    bool Ask_Yes_No(const QString& text) override
    {
        shown.append(text);
        return false;
    }
};

// Every file under a folder with its bytes (symbolic links and pipes by kind).
std::map<QString, QByteArray> Snapshot(const QString& folder)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        QFile file(info.filePath());
        files[info.filePath()] =
            info.isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : "(not a file)";
    }
    return files;
}

} // namespace

TEST(RunLock, ASecondProcessIsRefusedUntilTheFirstEnds)
{
    test::Temp_Home home;
    App().Data_Folder = Set_Data_Folder();
    Other_Run other;
    ASSERT_TRUE(other.Held());

    Run_Lock refused;
    EXPECT_EQ(refused.Result(), Run_Lock::State::Busy);
    EXPECT_TRUE(
        refused.Problem().contains(QStringLiteral("Another Brindlecast run (process %1)").arg(other.Pid())))
        << refused.Problem().toStdString();
    {
        Recorded_Messages messages;
        Run_Guard guard;
        EXPECT_FALSE(guard.Acquired());
        EXPECT_FALSE(Flags().Run_In_Progress);
        EXPECT_EQ(messages.shown, QStringList{refused.Problem()});
    }

    other.Kill(); // as kill -9 would: the kernel lets go of the lock
    {
        Run_Lock lock;
        EXPECT_TRUE(lock.Held());
        Run_Lock nested; // the same process shares its own lock
        EXPECT_TRUE(nested.Held());
        Other_Run meanwhile;
        EXPECT_FALSE(meanwhile.Held());
    }
    Other_Run after;
    EXPECT_TRUE(after.Held());
}

// An unattended run that would fall back to deleting contacts, or would run
// beside another, refuses before anything is restored or saved.
TEST(UnattendedStart, RefusesWithoutAChosenContactActionOrBesideAnotherRun)
{
    const QByteArray head =
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Brindlecast]\r\n\"Log_Enabled\"=dword:00000001\r\n";
    const QByteArray chosen = head + "\"Contact_Action\"=dword:00000001\r\n";
    struct Case
    {
        const char* name;
        std::function<void(const test::Temp_Home&)> settings;
        bool otherRun;
        int exitCode;
        const char* told;
    };
    const auto file = [](QByteArray bytes) {
        return [bytes](const test::Temp_Home& home) { home.Write("config/Brindlecast/registry.reg", bytes); };
    };
    const Case cases[] = {
        {"no settings file", [](const test::Temp_Home&) {}, false, kExit_No_Settings,
         "There is no settings file"},
        {"cut short before Contact_Action", file(head + "\"Contact_Act"), false, kExit_No_Settings,
         "holds no readable Contact_Action"},
        {"damaged Contact_Action", file(head + "\"Contact_Action\"=dword:1\r\n"), false, kExit_No_Settings,
         "holds no readable Contact_Action"},
        {"a named pipe",
         [](const test::Temp_Home& home) {
             QDir().mkpath(home.Config_Home() + QStringLiteral("/Brindlecast"));
             ASSERT_EQ(::mkfifo(QFile::encodeName(home.Registry_File()).constData(), 0600), 0);
         },
         false, kExit_No_Settings, "cannot be read"},
        {"another run holds the data folder", file(chosen), true, kExit_Run_Locked,
         "Another Brindlecast run"},
        {"chosen", file(chosen), false, 0, ""},
    };
    for (const Case& c : cases) {
        test::Temp_Home home;
        App().Data_Folder.clear();
        c.settings(home);
        std::optional<Other_Run> other;
        if (c.otherRun) {
            App().Data_Folder = Set_Data_Folder();
            other.emplace();
            ASSERT_TRUE(other->Held());
        }
        const auto before = Snapshot(home.Path());
        testing::internal::CaptureStderr();
        const int code = Refuse_Unattended_Start();
        const std::string told = testing::internal::GetCapturedStderr();
        EXPECT_EQ(code, c.exitCode) << c.name;
        EXPECT_NE(told.find(c.told), std::string::npos) << c.name << ": " << told;
        if (code != 0) {
            EXPECT_EQ(Snapshot(home.Path()), before) << c.name;
        }
    }
}
