#pragma once

#include <string>
#include <string_view>

// JSON string literals for the ledger's lines, quotes included, all ASCII so that a line never
// holds a byte a terminal or another tool would take for something else.
namespace JsonText {

// UTF-8 text: controls, quotes, backslashes and every character above U+007E as escapes.
// Bytes that are no UTF-8 are written as U+FFFD.
std::string ofText(std::string_view utf8);
// Bytes, each as the character of its own number (U+0000-U+00FF), as settings documents hold a
// field's bytes.
std::string ofBytes(std::string_view bytes);

}  // namespace JsonText
