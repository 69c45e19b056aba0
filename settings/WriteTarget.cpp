#include "settings/WriteTarget.h"

#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using SettingsFile::WriteResult;

constexpr int kMostLinks = 40;            // as many as the system follows in one path
constexpr std::size_t kUnsizedLink = 4096;  // for file systems that give a link no size

bool namesAFile(const std::filesystem::path &name)
{
    return !name.empty() && name != "." && name != "..";
}

std::variant<WriteTarget, WriteResult> open(const std::filesystem::path &path)
{
    if (!namesAFile(path.filename()))
        return WriteResult::OpenFailed;
    WriteTarget target{FolderHandle(path.parent_path()), path.filename().native()};
    if (!target.folder.isOpen())
        return openFailure(target.folder.error());
    return target;
}

// The text of the link `name` in `folder`; empty when it can't be read.
std::string linkText(const FolderHandle &folder, const std::string &name, std::size_t size)
{
    std::vector<char> text(size + 1);
    const ssize_t length = ::readlinkat(folder.fd(), name.c_str(), text.data(), text.size());
    if (length <= 0 || static_cast<std::size_t>(length) > size)
        return {};
    return std::string(text.data(), static_cast<std::size_t>(length));
}

// A link may be followed to a regular file of this user's own in a folder of this user's own.
bool isOwn(const WriteTarget &target, const struct stat &file)
{
    struct stat folder {};
    return ::fstat(target.folder.fd(), &folder) == 0 && folder.st_uid == ::geteuid() && file.st_uid == ::geteuid();
}

}  // namespace

bool isPermissionError(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}

WriteResult openFailure(int error)
{
    return isPermissionError(error) ? WriteResult::AccessDenied : WriteResult::OpenFailed;
}

std::variant<WriteTarget, WriteResult> findWriteTarget(const std::filesystem::path &path, SettingsFile::Links links)
{
    std::filesystem::path current = path;
    std::variant<WriteTarget, WriteResult> found = open(current);
    for (int followed = 0; links == SettingsFile::Links::FollowOwn; ++followed) {
        const WriteTarget *target = std::get_if<WriteTarget>(&found);
        if (!target)
            return found;
        struct stat info {};
        if (::fstatat(target->folder.fd(), target->name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                return openFailure(errno);
            // A new file where the user named one; a link to nothing is not followed.
            if (followed == 0)
                return found;
            return WriteResult::OpenFailed;
        }
        if (!S_ISLNK(info.st_mode)) {
            if (followed == 0 || isOwn(*target, info))
                return found;
            return WriteResult::AccessDenied;
        }
        const auto size = info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : kUnsizedLink;
        const std::string text = linkText(target->folder, target->name, size);
        if (text.empty() || followed == kMostLinks)
            return WriteResult::OpenFailed;
        current = current.parent_path() / text;  // an absolute text replaces the path
        found = open(current);
    }
    return found;
}
