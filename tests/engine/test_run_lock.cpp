// One processing at a time per data folder: a second process is refused at
// once, and the lock goes with the process that held it, however it ends.
// The unattended refusals are tested on the program itself (test_command_line).

#include "config/App_State.h"
#include "engine/Processing_Flags.h"
#include "engine/Run.h"
#include "engine/Run_Lock.h"
#include "support/Temp_Home.h"

#include <gtest/gtest.h>

#include <csignal>
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
        testing::internal::CaptureStderr(); // where messages go without windows
        Run_Guard guard;
        EXPECT_FALSE(guard.Acquired());
        EXPECT_FALSE(Flags().Run_In_Progress);
        EXPECT_EQ(QString::fromStdString(testing::internal::GetCapturedStderr()), refused.Problem() + '\n');
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
