#pragma once

#include "ImageLayout.h"
#include "SettingsImage.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

// The issue-control record "\eZ2;3,0,C,C,C,C,C,1\n": seven one-character fields at the even
// positions 6 to 18. The first is the stop-position mode; the other six are chosen from lists
// whose items each stand for one code. Texts are UTF-8, as the page's combo boxes hold them.
namespace IssueRecord {

enum class Combo { Sensor, Method, Speed, Cut, TagRotation, StatusReply };

inline constexpr Combo kCombos[] = {Combo::Sensor, Combo::Method,      Combo::Speed,
                                    Combo::Cut,    Combo::TagRotation, Combo::StatusReply};

inline constexpr std::size_t kStopModeOffset = ImageLayout::kIssueRecord + 6;

struct Item
{
    char code;
    std::string_view text;
};

// The list of a combo box, in the order the box shows it (not the order of the codes).
std::span<const Item> ListItems(Combo combo);

// Image offset of the combo's code.
std::size_t CodeOffset(Combo combo);

// '0' mode 1, '1' mode 2; any other character gives a value that selects neither.
int ReadStopMode(const SettingsImage &image);
void WriteStopMode(SettingsImage &image, int mode);

// The item text for the combo's code. A code that no item carries shows the driver's choice
// ("ドライバ設定優先"); for the status auto-response every code but '0' shows "あり".
std::string_view ReadText(const SettingsImage &image, Combo combo);
// The code of the item with exactly this text. A text no item has writes 'C' (the driver's
// choice); for the status auto-response every text but "なし" writes '1'.
void WriteText(SettingsImage &image, Combo combo, std::string_view text);

}  // namespace IssueRecord
