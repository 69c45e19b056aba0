#include "settings/SettingsFile.h"

#include "settings/FileDescriptor.h"
#include "settings/FolderHandle.h"
#include "settings/NewFile.h"
#include "settings/WriteTarget.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <string>
#include <variant>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SettingsFile {

std::optional<SettingsImage> parse(std::string_view bytes)
{
    if (bytes.size() < kFileSize || bytes.substr(0, kHeaderSize) != kHeader)
        return std::nullopt;
    SettingsImage::Bytes image{};
    bytes.substr(kHeaderSize, SettingsImage::kSize).copy(image.data(), image.size());
    return SettingsImage(image);
}

namespace {

// Reads from `fd` until `limit` bytes or the end; nothing on a read error.
std::optional<std::string> readUpTo(int fd, std::size_t limit)
{
    std::string bytes;
    std::array<char, 4096> buffer{};
    while (bytes.size() < limit) {
        const ssize_t count = ::read(fd, buffer.data(), std::min(buffer.size(), limit - bytes.size()));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            break;
        bytes.append(buffer.data(), static_cast<std::size_t>(count));
    }
    return bytes;
}

// Opens `name` in `folder` for reading without blocking on a fifo; only a regular file is kept.
FileDescriptor openRegular(const FolderHandle &folder, const char *name, int extraFlags)
{
    FileDescriptor file(::openat(folder.fd(), name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | extraFlags));
    struct stat info {};
    if (file.isOpen() && (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))) {
        file.reset();
        errno = EINVAL;
    }
    return file;
}

}  // namespace

ReadResult readTellingDamage(const std::filesystem::path &path)
{
    const FolderHandle folder(path.parent_path());
    if (!folder.isOpen() || path.filename().empty())
        return {};
    const FileDescriptor file = openRegular(folder, path.filename().c_str(), 0);
    if (!file.isOpen())
        return {};
    const std::optional<std::string> bytes = readUpTo(file.get(), kFileSize);
    if (!bytes)
        return {};
    ReadResult result{parse(*bytes), false};
    result.damaged = !result.image;
    return result;
}

std::optional<SettingsImage> read(const std::filesystem::path &path)
{
    return readTellingDamage(path).image;
}

namespace {

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// What stands at the target now, seen without following a link.
struct OldFile
{
    FileDescriptor file;  // open on a regular file: its tail, owner and permissions carry over
    struct stat info {};
};

// Copies what `from` holds beyond the 282nd byte to the end of `to`.
bool copyTail(int from, int to)
{
    if (::lseek(from, static_cast<off_t>(kFileSize), SEEK_SET) < 0)
        return false;
    std::array<char, 65536> buffer{};
    for (;;) {
        const ssize_t count = ::read(from, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return count == 0;
        if (!writeAll(to, std::string_view(buffer.data(), static_cast<std::size_t>(count))))
            return false;
    }
}

// Fills `old` from the target; a failure result when the target may not be replaced.
std::optional<WriteResult> inspectTarget(const FolderHandle &folder, const char *name, OldFile &old)
{
    if (::fstatat(folder.fd(), name, &old.info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? std::nullopt : std::optional(openFailure(errno));
    if (S_ISLNK(old.info.st_mode))
        return std::nullopt;  // a link that is not followed is replaced; what it points to stays untouched
    if (!S_ISREG(old.info.st_mode))
        return WriteResult::OpenFailed;
    // A file the user may not write stays, although the folder would allow replacing it.
    if (::faccessat(folder.fd(), name, W_OK, AT_EACCESS) != 0)
        return openFailure(errno);
    // Its tail is read from the file itself, never through a link put there meanwhile.
    old.file = openRegular(folder, name, O_NOFOLLOW);
    if (!old.file.isOpen() || ::fstat(old.file.get(), &old.info) != 0)
        return openFailure(errno);
    return std::nullopt;
}

// The old file's owner and permission bits (no set-id bits) go to the new one where allowed.
void takeOverOwnerAndMode(int fd, const OldFile &old)
{
    struct stat info {};
    if (!old.file.isOpen() || ::fstat(fd, &info) != 0)
        return;
    // Where the owner or the group can't be taken over, the new file stays this user's: still
    // a whole file, only not the old one's owner.
    if ((info.st_uid != old.info.st_uid || info.st_gid != old.info.st_gid)
        && ::fchown(fd, old.info.st_uid, old.info.st_gid) != 0
        && ::fchown(fd, static_cast<uid_t>(-1), old.info.st_gid) != 0)
        return;
    if (::fchmod(fd, old.info.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO)) != 0)
        return;  // it keeps the owner-only mode it was made with
}

bool fillAndSync(int fd, const SettingsImage &image, const OldFile &old)
{
    return writeAll(fd, kHeader) && writeAll(fd, std::string_view(image.data(), image.size()))
        && (!old.file.isOpen() || copyTail(old.file.get(), fd)) && ::fsync(fd) == 0;
}

}  // namespace

WriteResult write(const std::filesystem::path &path, const SettingsImage &image, Links links)
{
    std::variant<WriteTarget, WriteResult> found = findWriteTarget(path, links);
    if (const WriteResult *refused = std::get_if<WriteResult>(&found))
        return *refused;
    const WriteTarget &target = std::get<WriteTarget>(found);
    const FolderHandle &folder = target.folder;
    const char *name = target.name.c_str();

    OldFile old;
    if (const std::optional<WriteResult> refused = inspectTarget(folder, name, old))
        return *refused;

    // What killed writers left beside the target goes first.
    NewFile::removeLeftovers(folder, target.name);
    // Made for the owner alone, then given the old file's owner and permissions; a new file
    // takes the usual ones.
    NewFile file(folder, target.name, old.file.isOpen() ? S_IRUSR | S_IWUSR : 0666);
    if (!file.isOpen())
        return openFailure(errno);
    takeOverOwnerAndMode(file.fd(), old);

    const bool complete = fillAndSync(file.fd(), image, old) && file.close();
    if (!complete || !file.replaceTarget())
        return complete && isPermissionError(errno) ? WriteResult::AccessDenied : WriteResult::WriteFailed;
    folder.sync();
    return WriteResult::Written;
}

}  // namespace SettingsFile
