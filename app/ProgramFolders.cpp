#include "app/ProgramFolders.h"

#include "app/UserFolders.h"
#include "res/Strings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <string>
#include <system_error>
#include <vector>

#include <sys/auxv.h>
#include <unistd.h>

namespace ProgramFolders {

namespace {

constexpr std::size_t kFirstLinkBuffer = 4096;
constexpr std::size_t kLongestLink = 1 << 20;

// What the system says the running program file is; empty when it can't say (a path longer
// than it reports).
std::filesystem::path linkedProgram()
{
    for (std::size_t size = kFirstLinkBuffer; size <= kLongestLink; size *= 2) {
        std::vector<char> buffer(size);
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return {};
        if (static_cast<std::size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(length));
    }
    return {};
}

}  // namespace

std::filesystem::path programFile()
{
    std::filesystem::path program = linkedProgram();
    if (!program.empty())
        return program;
    // The name it was started by, against the folder it was started in (nothing has changed
    // that folder yet).
    const char *started = reinterpret_cast<const char *>(::getauxval(AT_EXECFN));
    program = started ? started : "";
    std::error_code error;
    return program.is_absolute() ? program : std::filesystem::current_path(error) / program;
}

std::string applicationName()
{
    return programFile().stem().native();
}

// An installed copy has its data folder (help) in the share folder beside its bin folder; a
// portable copy keeps everything in its own folder.
bool isInstalled(const std::filesystem::path &programFolder)
{
    std::error_code error;
    return std::filesystem::is_directory(programFolder / "../share/sbq740", error);
}

SettingsLocation settingsLocation()
{
    const std::filesystem::path programFolder = programFile().parent_path();
    return SettingsLocation(programFolder, UserFolders::config() / applicationName(), !isInstalled(programFolder));
}

QString helpPath()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString name = QString::fromUtf8(Str::kHelpFileName);
    const QString beside = QDir(programFolder).filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir(programFolder).filePath(QStringLiteral("../share/sbq740/") + name);
    if (QFileInfo::exists(installed))
        return QDir::cleanPath(installed);
    return beside;
}

}  // namespace ProgramFolders
