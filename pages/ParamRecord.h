#pragma once

#include "SettingsImage.h"

#include <string>

// The parameter record's codec and its one check (placeholder).
namespace ParamRecord {
// True when the forward-standby adjustment at positions 15-17 is valid; otherwise `message`
// receives the text to show.
bool ValidateImage(const SettingsImage &image, std::string &message);
}
