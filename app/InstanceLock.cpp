#include "app/InstanceLock.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileDescriptor openOwnLockFile(const std::filesystem::path &path, int extraFlags)
{
    FileDescriptor file(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | extraFlags,
                               S_IRUSR | S_IWUSR));
    struct stat info {};
    if (file.isOpen() && (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()))
        file.reset();
    return file;
}

// Whatever stands at `path` and is not ours to lock goes; the folder is this user's own.
void removeForeign(const std::filesystem::path &path)
{
    if (::unlink(path.c_str()) != 0 && errno == EISDIR)
        ::rmdir(path.c_str());
}

}  // namespace

InstanceLock::InstanceLock(const std::filesystem::path &path)
{
    m_file = openOwnLockFile(path, 0);
    if (!m_file.isOpen()) {
        removeForeign(path);
        m_file = openOwnLockFile(path, O_EXCL);
    }
    if (!m_file.isOpen())
        return;
    if (::flock(m_file.get(), LOCK_EX | LOCK_NB) == 0)
        m_state = State::Taken;
    else if (errno == EWOULDBLOCK)
        m_state = State::HeldElsewhere;
    if (m_state != State::Taken)
        m_file.reset();
}
