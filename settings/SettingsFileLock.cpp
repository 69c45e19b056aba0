#include "settings/SettingsFileLock.h"

#include "settings/WriteTarget.h"

#include <cerrno>
#include <thread>
#include <variant>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kNameKept = 64;  // of the file's name, in the lock file's name
constexpr auto kRetryPause = std::chrono::milliseconds(10);

// The lock file, made when missing. One that another user made is used too, if this user may
// read it (a lock needs no more than that).
FileDescriptor openLockFile(const FolderHandle &folder, const std::string &name)
{
    constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    FileDescriptor file(::openat(folder.fd(), name.c_str(), O_RDWR | O_CREAT | kFlags, 0666));
    if (!file.isOpen() && errno == EACCES)
        file = FileDescriptor(::openat(folder.fd(), name.c_str(), O_RDONLY | kFlags));
    struct stat info {};
    if (file.isOpen() && (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)))
        file.reset();
    return file;
}

bool sameFile(const struct stat &one, const struct stat &other)
{
    return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

// True while `file` is what `name` in `folder` names.
bool stillNamed(const FolderHandle &folder, const std::string &name, int file)
{
    struct stat opened {};
    struct stat named {};
    return ::fstat(file, &opened) == 0 && ::fstatat(folder.fd(), name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0
        && sameFile(opened, named);
}

// A regular file, or nothing yet: nothing else is written, and no lock file is left beside it
// (a device, say, in the system's folder of devices).
bool mayHoldSettings(const WriteTarget &target)
{
    struct stat info {};
    if (::fstatat(target.folder.fd(), target.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    return S_ISREG(info.st_mode);
}

}  // namespace

SettingsFileLock::SettingsFileLock(const std::filesystem::path &path, std::chrono::milliseconds wait,
                                   const std::function<bool()> &stop)
{
    std::variant<WriteTarget, SettingsFile::WriteResult> found = findWriteTarget(path, SettingsFile::Links::FollowOwn);
    WriteTarget *target = std::get_if<WriteTarget>(&found);
    if (!target || !mayHoldSettings(*target))
        return;  // nothing may be written there: the write says so
    m_folder = std::move(target->folder);
    m_name = "." + target->name.substr(0, kNameKept) + ".lock";
    const auto deadline = std::chrono::steady_clock::now() + wait;
    Attempt attempt = Attempt::Removed;
    while (attempt == Attempt::Removed)
        attempt = lockOnce(deadline, stop);
}

SettingsFileLock::~SettingsFileLock()
{
    // Removed while still held, so that nobody takes a lock file that is about to go.
    if (m_state == State::Held && stillNamed(m_folder, m_name, m_file.get()))
        ::unlinkat(m_folder.fd(), m_name.c_str(), 0);
}

SettingsFileLock::Attempt SettingsFileLock::lockOnce(std::chrono::steady_clock::time_point deadline,
                                                     const std::function<bool()> &stop)
{
    FileDescriptor file = openLockFile(m_folder, m_name);
    if (!file.isOpen()) {
        m_state = State::Unavailable;
        return Attempt::Failed;
    }
    while (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            m_state = State::Unavailable;  // a file system without locks
            return Attempt::Failed;
        }
        if (stop && stop()) {
            m_state = State::Interrupted;
            return Attempt::Failed;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            m_state = State::Busy;
            return Attempt::Failed;
        }
        std::this_thread::sleep_for(kRetryPause);
    }
    // The holder before may have removed the file while this program waited for it.
    if (!stillNamed(m_folder, m_name, file.get()))
        return Attempt::Removed;
    m_file = std::move(file);
    m_state = State::Held;
    return Attempt::Held;
}
