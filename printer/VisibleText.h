#pragma once

#include <string>
#include <string_view>

// Texts from outside the program (the spooler's printer names and connections, what a file
// holds) as the windows show them, in UTF-8. Characters that reorder the text around them
// (U+061C, U+200E, U+200F, U+202A-U+202E, U+2066-U+2069), control characters and the line and
// paragraph separators are written as "\u" escapes, so that "bidi-\u202Egnp.exe" cannot pass
// for "bidi-exe.png" and a name cannot break a line. Everything else stays as it is; the widgets
// that show the result take it as plain text.
namespace VisibleText {

std::string Escaped(std::string_view utf8);

}  // namespace VisibleText
