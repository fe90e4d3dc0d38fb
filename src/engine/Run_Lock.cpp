#include "engine/Run_Lock.h"

#include "config/App_State.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bc::engine {
namespace {

struct Held_Lock
{
    int fd = -1;
    int users = 0;
    pid_t owner = 0;
};

// flock belongs to the open file: a second open in this process would be
// refused like another process, so a process opens each lock file once.
std::map<QString, Held_Lock>& Held_Locks()
{
    static std::map<QString, Held_Lock> locks;
    return locks;
}

// The process named in the lock file by its holder, for the message.
QString Holder_Of(int fd)
{
    char text[32] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    bool ok = false;
    const qint64 pid = QByteArray(text, n > 0 ? n : 0).trimmed().toLongLong(&ok);
    return ok && pid > 0 ? QStringLiteral(" (process %1)").arg(pid) : QString();
}

} // namespace

Run_Lock::Run_Lock()
{
    if (App().Data_Folder.isEmpty())
        Set_Data_Folder();
    path_ = Data_File(kRunLockFile);
    auto& locks = Held_Locks();
    if (auto it = locks.find(path_); it != locks.end()) {
        if (it->second.owner == ::getpid()) {
            ++it->second.users;
            state_ = State::Held;
            return;
        }
        // A forked child inherits the parent's lock but is another process:
        // it must take the lock like any other. Closing its copy leaves the
        // parent's lock in place.
        ::close(it->second.fd);
        locks.erase(it);
    }

    const QByteArray name = QFile::encodeName(path_);
    const auto problem = [this](const QString& reason) {
        state_ = State::Failed;
        problem_ =
            QStringLiteral("The lock file %1 cannot be used: %2. Nothing was processed.").arg(path_, reason);
    };
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0644);
    // A read-only data folder still has its lock, if the file is there.
    if (fd < 0 && (errno == EACCES || errno == EROFS))
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        problem(qt_error_string(errno));
        return;
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        problem(QStringLiteral("it is not a regular file"));
        return;
    }
    int result = 0;
    while ((result = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (result != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK) {
            state_ = State::Busy;
            problem_ = QStringLiteral("Another Brindlecast run%1 is already processing the data folder %2. "
                                      "Nothing was processed; try again when it has finished.")
                           .arg(Holder_Of(fd), QDir::cleanPath(App().Data_Folder));
        } else {
            problem(qt_error_string(error));
        }
        ::close(fd);
        return;
    }
    // Names the holder for the message of a second start; only a help, so a
    // failure here does not matter.
    const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
    [[maybe_unused]] const bool named =
        ::ftruncate(fd, 0) == 0 && ::pwrite(fd, pid.constData(), size_t(pid.size()), 0) == pid.size();
    locks.emplace(path_, Held_Lock{fd, 1, ::getpid()});
    state_ = State::Held;
}

Run_Lock::~Run_Lock()
{
    if (state_ != State::Held || keep_)
        return;
    auto& locks = Held_Locks();
    const auto it = locks.find(path_);
    if (it == locks.end() || it->second.owner != ::getpid() || --it->second.users > 0)
        return;
    ::close(it->second.fd); // releases the lock
    locks.erase(it);
}

} // namespace bc::engine
