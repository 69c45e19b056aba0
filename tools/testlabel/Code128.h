#pragma once

#include "BarPattern.h"

#include <string_view>

// Code 128 in code set C: a string of digits, two to a symbol, with the start code, the
// check symbol and the stop pattern. Throws std::invalid_argument for anything but an even
// number of digits.
namespace Code128 {

BarPattern encodeDigits(std::string_view digits, int modulePx);

}  // namespace Code128
