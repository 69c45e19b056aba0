#pragma once

#include "SettingsImage.h"

#include <filesystem>

// The automatic settings file "setting": read at start-up, written by the exit sequence.
namespace AutoSettings {

std::filesystem::path path(const std::filesystem::path &folder);

// The image in `folder`/setting, or the factory image when the file is missing, unreadable or
// not a settings file (a wrong header, or fewer than 260 image bytes).
SettingsImage read(const std::filesystem::path &folder);

// Writes header and image without truncating a longer file. Failures are not reported to the
// user; the result only tells the caller.
bool write(const std::filesystem::path &folder, const SettingsImage &image);

}  // namespace AutoSettings
