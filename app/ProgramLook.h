#pragma once

// The program's font and language, set once on the application before any window exists: the
// dialogs' face "ＭＳ Ｐゴシック" 9 pt (a Japanese Gothic face where it is missing) and Qt's own
// buttons and dialogs in Japanese. Without any font for Japanese a warning on standard error names
// the one to install.
namespace ProgramLook {

void apply();

}  // namespace ProgramLook
