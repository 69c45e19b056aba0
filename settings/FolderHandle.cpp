#include "settings/FolderHandle.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr int kLookupFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

// The folder itself is opened for reading when it may be, so that it can be synced.
int openLast(int parent, const char *name)
{
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return fd >= 0 ? fd : ::openat(parent, name, kLookupFlags);
}

}  // namespace

FolderHandle::FolderHandle(const std::filesystem::path &folder)
{
    open(folder, false, 0);
}

FolderHandle FolderHandle::create(const std::filesystem::path &folder, mode_t mode)
{
    FolderHandle handle;
    handle.open(folder, true, mode);
    return handle;
}

void FolderHandle::open(const std::filesystem::path &folder, bool createMissing, mode_t mode)
{
    const std::filesystem::path start = folder.is_absolute() ? "/" : ".";
    m_fd = FileDescriptor(openLast(AT_FDCWD, start.c_str()));
    for (const std::filesystem::path &name : folder.relative_path()) {
        if (!m_fd.isOpen())
            break;
        if (name.empty())
            continue;  // a trailing separator
        if (createMissing && ::mkdirat(m_fd.get(), name.c_str(), mode) != 0 && errno != EEXIST) {
            m_error = errno;
            m_fd.reset();
            return;
        }
        m_fd = FileDescriptor(openLast(m_fd.get(), name.c_str()));
    }
    if (!m_fd.isOpen())
        m_error = errno;
}

void FolderHandle::sync() const
{
    ::fsync(m_fd.get());  // EBADF for a lookup-only handle; nothing else to do then
}
