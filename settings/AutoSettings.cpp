#include "AutoSettings.h"

#include "FolderHandle.h"
#include "SettingsFile.h"

#include <sys/stat.h>

namespace AutoSettings {

std::filesystem::path path(const std::filesystem::path &folder)
{
    return folder / "setting";
}

SettingsImage read(const SettingsLocation &location)
{
    return SettingsFile::read(location.readPath()).value_or(SettingsImage::factory());
}

WriteOutcome write(const SettingsLocation &location, const SettingsImage &image)
{
    WriteOutcome outcome{location.writePath(), false};
    if (outcome.file.parent_path() == location.userFolder())
        FolderHandle::create(location.userFolder(), S_IRWXU);  // a failure shows in the write
    outcome.written = SettingsFile::write(outcome.file, image) == SettingsFile::WriteResult::Written;
    return outcome;
}

}  // namespace AutoSettings
