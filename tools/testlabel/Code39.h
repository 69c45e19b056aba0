#pragma once

#include "BarPattern.h"

#include <string_view>

// Code 39: every character is five bars and four spaces, three of the nine wide, and characters
// are parted by a narrow space. The text is encoded as given, start and stop asterisks included
// ("*ABCDEF*"). Throws std::invalid_argument for a character the code set doesn't have.
namespace Code39 {

BarPattern encode(std::string_view text, int narrowPx, int widePx);

}  // namespace Code39
