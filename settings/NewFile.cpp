#include "settings/NewFile.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <random>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kMaxNames = 100;
constexpr std::size_t kNameKept = 64;  // of the target's name, in the new file's name
constexpr std::string_view kSuffix = ".new";

std::string prefixFor(const std::string &target)
{
    return "." + target.substr(0, kNameKept) + ".";
}

std::string randomName(const std::string &target)
{
    std::random_device random;
    return prefixFor(target) + std::to_string(random()) + std::string(kSuffix);
}

bool isNewFileName(std::string_view name, const std::string &prefix)
{
    if (name.size() <= prefix.size() + kSuffix.size() || !name.starts_with(prefix) || !name.ends_with(kSuffix))
        return false;
    const std::string_view number = name.substr(prefix.size(), name.size() - prefix.size() - kSuffix.size());
    return std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::vector<std::string> namesIn(const FolderHandle &folder)
{
    std::vector<std::string> names;
    const int fd = ::openat(folder.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return names;  // a folder this user may not list: nothing to tidy
    const std::unique_ptr<DIR, int (*)(DIR *)> listing(::fdopendir(fd), &::closedir);
    if (!listing) {
        ::close(fd);
        return names;
    }
    while (const dirent *entry = ::readdir(listing.get()))
        names.emplace_back(entry->d_name);
    return names;
}

// Removes `name` when it is a regular file of this user's that no writer holds.
void removeIfAbandoned(const FolderHandle &folder, const std::string &name)
{
    const FileDescriptor file(::openat(folder.fd(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat opened {};
    if (!file.isOpen() || ::fstat(file.get(), &opened) != 0 || !S_ISREG(opened.st_mode)
        || opened.st_uid != ::geteuid() || ::flock(file.get(), LOCK_EX | LOCK_NB) != 0)
        return;
    struct stat named {};
    if (::fstatat(folder.fd(), name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_ino == opened.st_ino
        && named.st_dev == opened.st_dev)
        ::unlinkat(folder.fd(), name.c_str(), 0);
}

}  // namespace

NewFile::NewFile(const FolderHandle &folder, const std::string &target, mode_t mode)
    : m_folder(folder)
    , m_target(target)
{
    // Where the file system can, the file is locked before it has a name, so no later write
    // can ever take it for a killed writer's.
    FileDescriptor unnamed(::openat(folder.fd(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
    if (unnamed.isOpen() && ::flock(unnamed.get(), LOCK_EX) == 0 && nameUnnamed(unnamed.get())) {
        m_file = std::move(unnamed);
    } else if (!createNamed(mode)) {
        return;
    }
    m_lock = FileDescriptor(::fcntl(m_file.get(), F_DUPFD_CLOEXEC, 0));
    if (!m_lock.isOpen())
        m_file.reset();
}

NewFile::~NewFile()
{
    if (!m_name.empty() && !m_replaced)
        ::unlinkat(m_folder.fd(), m_name.c_str(), 0);
}

bool NewFile::nameUnnamed(int unnamed)
{
    const std::string self = "/proc/self/fd/" + std::to_string(unnamed);
    for (int attempt = 0; attempt < kMaxNames; ++attempt) {
        m_name = randomName(m_target);
        if (::linkat(AT_FDCWD, self.c_str(), m_folder.fd(), m_name.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    m_name.clear();
    return false;
}

// Where a file can't be made without a name: made under its name and locked at once.
bool NewFile::createNamed(mode_t mode)
{
    for (int attempt = 0; attempt < kMaxNames; ++attempt) {
        m_name = randomName(m_target);
        m_file = FileDescriptor(::openat(m_folder.fd(), m_name.c_str(),
                                         O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        if (m_file.isOpen()) {
            ::flock(m_file.get(), LOCK_EX);  // a new file nobody else has opened yet
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    const int error = errno;
    m_name.clear();
    errno = error;
    return false;
}

bool NewFile::replaceTarget()
{
    m_replaced = ::renameat(m_folder.fd(), m_name.c_str(), m_folder.fd(), m_target.c_str()) == 0;
    return m_replaced;
}

void NewFile::removeLeftovers(const FolderHandle &folder, const std::string &target)
{
    const std::string prefix = prefixFor(target);
    for (const std::string &name : namesIn(folder)) {
        if (isNewFileName(name, prefix))
            removeIfAbandoned(folder, name);
    }
}
