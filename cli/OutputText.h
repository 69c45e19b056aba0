#pragma once

#include <string>
#include <string_view>

// Making texts safe to print. Values come from settings files, which may hold any byte: nothing
// read from a file reaches the terminal or a JSON document unescaped.
namespace OutputText {

// `bytes` as UTF-8: valid sequences stay, every other byte becomes U+FFFD.
std::string validUtf8(std::string_view bytes);

// For a terminal line: valid UTF-8 with control characters written as \xNN.
std::string forTerminal(std::string_view text);

// A JSON string literal, quotes included.
std::string jsonString(std::string_view text);

}  // namespace OutputText
