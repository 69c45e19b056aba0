#pragma once

#include "settings/SettingsImage.h"

#include <string>

// The check the parameter record passes before it is sent.
namespace ParamRecord {

// True when the forward-standby adjustment at positions 15-17 of `image` is one of -5.0 ... 5.0
// in 0.5 mm steps; otherwise `message` receives the text to show the user.
bool ValidateImage(const SettingsImage &image, std::string &message);

}  // namespace ParamRecord
