#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Menu captions as the menu table writes them (UTF-8): a label with "&" mnemonics, optionally
// followed by a tab and the accelerator text, e.g. "設定ファイルの読み込み(&O)...\tCtrl+O".
namespace MenuCaption {

struct Parts
{
    std::string label;        // before the first tab (the whole caption without one)
    std::string accelerator;  // after the last tab; empty without one
    bool hasTab = false;
};

Parts split(std::string_view caption);

// The label as shown: "&x" shows x, "&&" shows one "&".
std::string withoutMnemonicMarks(std::string_view label);

// The mnemonic of a caption in lower case ("w" for "...(&W)..."), empty when it has none.
std::string mnemonicOf(std::string_view caption);

// The first caption whose mnemonic is `typed` (one character, any case), or -1.
int findMnemonic(const std::vector<std::string> &captions, std::string_view typed);

// Lines the accelerator texts up in one column: every label that is followed by a tab gets
// spaces appended until it is at least as wide as the widest label plus one space.
using TextWidth = std::function<int(const std::string &)>;
std::vector<std::string> alignAcceleratorColumn(const std::vector<std::string> &captions, const TextWidth &width);

}  // namespace MenuCaption
