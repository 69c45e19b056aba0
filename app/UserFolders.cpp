#include "app/UserFolders.h"

#include <cstdlib>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace UserFolders {

namespace {

constexpr std::size_t kPasswordBuffer = 16384;

std::filesystem::path absoluteFromEnvironment(const char *variable)
{
    const char *value = std::getenv(variable);
    return value && *value == '/' ? std::filesystem::path(value) : std::filesystem::path();
}

// Root may use `folder` unless it belongs to another user: the folder, or where it does not
// exist yet, the nearest folder above it that does. Anyone else uses what the variable says.
bool usable(const std::filesystem::path &folder)
{
    if (folder.empty())
        return false;
    if (::geteuid() != 0)
        return true;
    for (std::filesystem::path step = folder;; step = step.parent_path()) {
        struct stat info {};
        if (::stat(step.c_str(), &info) == 0)
            return info.st_uid == 0;
        if (step == step.parent_path())
            return true;
    }
}

std::filesystem::path fromPasswordDatabase()
{
    std::vector<char> buffer(kPasswordBuffer);
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir
        && *found->pw_dir == '/')
        return found->pw_dir;
    return {};
}

std::filesystem::path xdgFolder(const char *variable, const char *inHome)
{
    const std::filesystem::path named = absoluteFromEnvironment(variable);
    if (usable(named))
        return named;
    return home() / inHome;
}

}  // namespace

std::filesystem::path home()
{
    const std::filesystem::path named = absoluteFromEnvironment("HOME");
    return usable(named) ? named : fromPasswordDatabase();
}

std::filesystem::path config()
{
    return xdgFolder("XDG_CONFIG_HOME", ".config");
}

std::filesystem::path cache()
{
    return xdgFolder("XDG_CACHE_HOME", ".cache");
}

void keepOutOfOtherUsersHome()
{
    if (::geteuid() != 0)
        return;
    for (const char *variable :
         {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"}) {
        const std::filesystem::path named = absoluteFromEnvironment(variable);
        if (!named.empty() && !usable(named))
            ::unsetenv(variable);
    }
    const std::filesystem::path own = home();
    if (!own.empty() && own != absoluteFromEnvironment("HOME"))
        ::setenv("HOME", own.c_str(), 1);
}

}  // namespace UserFolders
