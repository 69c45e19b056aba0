#pragma once

#include "settings/SettingsImage.h"

#include <string>

// The check the parameter record passes before it is sent.
namespace ParamRecord {

struct Validation
{
    std::string message;  // the text to show the user; empty when the record may be sent

    bool valid() const { return message.empty(); }
};

// Valid when the forward-standby adjustment at positions 15-17 of `image` is one of -5.0 ... 5.0
// in 0.5 mm steps.
Validation ValidateImage(const SettingsImage &image);

}  // namespace ParamRecord
