#include "app/RuntimeFolder.h"

#include "app/UserFolders.h"

#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace RuntimeFolder {

namespace {

constexpr mode_t kOthersBits = S_IRWXG | S_IRWXO;

std::filesystem::path absoluteFromEnvironment(const char *variable)
{
    const char *value = std::getenv(variable);
    return value && *value == '/' ? std::filesystem::path(value) : std::filesystem::path();
}

// Our own folder: made with no access for others; one that already stands there is used only
// when it is ours (its mode is then narrowed if needed).
bool makeOwnFolder(const std::filesystem::path &folder)
{
    if (::mkdir(folder.c_str(), S_IRWXU) == 0)
        return true;
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return false;
    return (info.st_mode & kOthersBits) == 0 || ::chmod(folder.c_str(), S_IRWXU) == 0;
}

}  // namespace

bool isPrivate(const std::filesystem::path &folder)
{
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid()
        && (info.st_mode & kOthersBits) == 0;
}

std::filesystem::path session()
{
    const std::filesystem::path runtime = absoluteFromEnvironment("XDG_RUNTIME_DIR");
    return !runtime.empty() && isPrivate(runtime) ? runtime : std::filesystem::path();
}

std::filesystem::path ownCache()
{
    const std::filesystem::path cache = UserFolders::cache();
    if (!cache.is_absolute())
        return {};
    ::mkdir(cache.c_str(), S_IRWXU);  // the usual cache folder, when it is not there yet
    struct stat info {};
    if (::stat(cache.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return {};  // another user's: they could put something where ours goes
    const std::filesystem::path own = cache / "sbq740";
    return makeOwnFolder(own) && isPrivate(own) ? own : std::filesystem::path();
}

std::filesystem::path ownTemporary()
{
    std::filesystem::path temporary = absoluteFromEnvironment("TMPDIR");
    if (temporary.empty())
        temporary = "/tmp";
    const std::filesystem::path own = temporary / ("sbq740-" + std::to_string(::geteuid()));
    return makeOwnFolder(own) && isPrivate(own) ? own : std::filesystem::path();
}

}  // namespace RuntimeFolder
