#pragma once

#include <string>
#include <string_view>

// Making texts safe to print. Values come from settings files, which may hold any byte: nothing
// read from a file reaches the terminal or a JSON document unescaped.
namespace OutputText {

// `bytes` as UTF-8: valid sequences stay, every other byte becomes U+FFFD.
std::string validUtf8(std::string_view bytes);

// For a terminal line: valid UTF-8 with C0 controls written as \xNN, and the other characters
// the window program escapes too (VisibleText::IsHidden: C1 controls, bidirectional controls,
// zero-width and other invisible format characters) as \uNNNN or \UNNNNNNNN, so that nothing
// printed can reorder or hide what follows it, or hide in a name.
std::string forTerminal(std::string_view text);

// A printer name for a terminal line, in a form `--printer` takes back: as forTerminal, with
// bytes that are not UTF-8 written as \xNN and a backslash as \\.
std::string printerName(std::string_view name);

// The name that printerName() wrote: \\, \xNN, \uNNNN and \UNNNNNNNN undone; any other
// backslash stays, and so does one that names no character (a surrogate, beyond U+10FFFF).
std::string unescapePrinterName(std::string_view text);

// A JSON string literal, quotes included.
std::string jsonString(std::string_view text);

}  // namespace OutputText
