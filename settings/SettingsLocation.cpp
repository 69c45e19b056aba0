#include "settings/SettingsLocation.h"

#include "settings/FolderHandle.h"

#include <sys/stat.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr char kFileName[] = "setting";

bool hasEntry(const std::filesystem::path &folder)
{
    const FolderHandle handle(folder);
    struct stat info {};
    return handle.isOpen() && ::fstatat(handle.fd(), kFileName, &info, AT_SYMLINK_NOFOLLOW) == 0;
}

// This user may create and rename files in `folder` and may write the file there, if there is
// one; a link there would be replaced, so only the folder counts then.
bool writableHere(const std::filesystem::path &folder)
{
    const FolderHandle handle(folder);
    if (!handle.isOpen() || ::faccessat(handle.fd(), ".", W_OK | X_OK, AT_EACCESS) != 0)
        return false;
    struct stat info {};
    if (::fstatat(handle.fd(), kFileName, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return true;
    if (S_ISLNK(info.st_mode))
        return true;
    return S_ISREG(info.st_mode) && ::faccessat(handle.fd(), kFileName, W_OK, AT_EACCESS) == 0;
}

}  // namespace

SettingsLocation::SettingsLocation(std::filesystem::path programFolder, std::filesystem::path userFolder,
                                   bool besideProgramWritable)
    : m_programFolder(std::move(programFolder))
    , m_userFolder(std::move(userFolder))
    , m_besideProgramWritable(besideProgramWritable)
{
}

std::filesystem::path SettingsLocation::readPath() const
{
    if (hasEntry(m_userFolder))
        return m_userFolder / kFileName;
    return m_programFolder / kFileName;
}

std::filesystem::path SettingsLocation::writePath() const
{
    if (!m_besideProgramWritable || hasEntry(m_userFolder) || !writableHere(m_programFolder))
        return m_userFolder / kFileName;
    return m_programFolder / kFileName;
}

std::filesystem::path SettingsLocation::prepareWriteFolder() const
{
    const std::filesystem::path folder = writePath().parent_path();
    if (folder == m_userFolder)
        FolderHandle::create(m_userFolder, S_IRWXU);  // a failure shows when the file is written
    return folder;
}
