#include "AutoSettings.h"

#include "SettingsFile.h"

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
    WriteOutcome outcome{path(location.prepareWriteFolder()), false};
    outcome.written = SettingsFile::write(outcome.file, image, SettingsFile::Links::Replace) == SettingsFile::WriteResult::Written;
    return outcome;
}

}  // namespace AutoSettings
