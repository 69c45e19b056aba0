#pragma once

#include "settings/SettingsImage.h"
#include "settings/SettingsLocation.h"

#include <filesystem>

// The automatic settings file "setting": read at start-up, written by the exit sequence.
namespace AutoSettings {

std::filesystem::path path(const std::filesystem::path &folder);

// The image in the file start-up reads, or the factory image when that file is missing,
// unreadable or not a settings file (a wrong header, or fewer than 260 image bytes).
SettingsImage read(const SettingsLocation &location);

struct ReadOutcome
{
    SettingsImage image;
    std::filesystem::path damaged;  // "setting" when it was there but no settings file
    std::filesystem::path keptAs;   // where that file was moved; empty when it could not be
};

// As read(); a damaged "setting" (cut short by another program, say) is moved to
// "setting.damaged" ("setting.damaged.2" and so on when that is taken), so that the next exit
// does not replace it, and the caller can tell the user once.
ReadOutcome readKeepingDamaged(const SettingsLocation &location);

struct WriteOutcome
{
    std::filesystem::path file;  // the file written, or the one that could not be
    bool written = false;
};

// Writes header and image where the location says "setting" goes now, keeping any bytes of the
// old file beyond the 282nd; the user's folder is made when it is missing. Whether the file
// could be written is the caller's to tell the user.
WriteOutcome write(const SettingsLocation &location, const SettingsImage &image);

}  // namespace AutoSettings
