#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The one rule that keeps a fine-adjustment edit inside its field, run on every change of the
// edit's text. Returns the text that must replace the current one, or nothing when it may stay.
//
// - A text longer than `longestText` becomes `lowerText` when its number is below zero, otherwise
//   `upperText`; that settles it.
// - Otherwise, only while the edit has the input focus: a number below the lower text's value
//   becomes `lowerText`, above the upper text's value `upperText`, and a number strictly between
//   -0.1 and 0.1 other than zero becomes "0.0".
// The filter never rounds; only the first 9 characters of the text are read.
std::optional<std::string> FilterFineText(std::string_view text, bool hasFocus,
                                          std::size_t longestText, std::string_view upperText,
                                          std::string_view lowerText);
