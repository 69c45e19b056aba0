#pragma once

#include "text/Hex.h"

#include <string>
#include <string_view>

// Texts from outside the program (the spooler's printer names and connections, what a file
// holds) as the windows show them, in UTF-8. The characters IsHidden() names are written as
// "\uNNNN" escapes ("\UNNNNNNNN" beyond U+FFFF), so that "bidi-\u202Egnp.exe" cannot pass for
// "bidi-exe.png", "Line\u200BA" cannot pass for "LineA" and a name cannot break a line.
// Everything else stays as it is; the widgets that show the result take it as plain text.
namespace VisibleText {

std::string Escaped(std::string_view utf8);

// True for a character that must not reach the screen as it is, in the window or on the
// terminal: control characters, the line and paragraph separators, the characters that reorder
// the text around them (U+061C, U+200E, U+200F, U+202A-U+202E, U+2066-U+2069), and the format
// characters that show nothing at all: the zero-width space, joiners and word joiner
// (U+200B-U+200D, U+2060-U+2065), the byte-order mark U+FEFF, the soft hyphen, the Hangul
// fillers, the Mongolian vowel separator, the deprecated format characters U+206A-U+206F and the
// tag characters (U+E0000-U+E007F), which can spell a hidden text. Variation selectors stay: they
// choose how the character before them looks (a kanji's form in a Japanese name).
bool IsHidden(char32_t codePoint);

// The hidden characters a terminal line writes as a byte escape: the C0 controls and DEL.
constexpr bool IsAsciiControl(char32_t codePoint)
{
    return codePoint < 0x20 || codePoint == 0x7F;
}

// "\uNNNN", or "\UNNNNNNNN" beyond U+FFFF.
std::string UnicodeEscape(char32_t codePoint, Hex::Case letters);
// "\xNN".
std::string ByteEscape(unsigned char byte, Hex::Case letters);

}  // namespace VisibleText
