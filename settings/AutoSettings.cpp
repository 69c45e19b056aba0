#include "AutoSettings.h"

#include "SettingsFile.h"

namespace AutoSettings {

std::filesystem::path path(const std::filesystem::path &folder)
{
    return folder / "setting";
}

SettingsImage read(const std::filesystem::path &folder)
{
    return SettingsFile::read(path(folder)).value_or(SettingsImage::factory());
}

bool write(const std::filesystem::path &folder, const SettingsImage &image)
{
    return SettingsFile::write(path(folder), image) == SettingsFile::WriteResult::Written;
}

}  // namespace AutoSettings
