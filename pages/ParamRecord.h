#pragma once

#include "SettingsImage.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The parameter record ("\eZ2;1,...", 48 characters at image offset 0): the positions the
// parameter page owns, their decoding into choice indices and the adjustment text, their encoding
// back, the input rules of the forward-standby adjustment and the check run before sending.
namespace ParamRecord {

// The radio groups of the page, each owning one character of the record.
enum class Group : std::size_t {
    AutoForwardStandby,
    FeedKey,
    PowerOnCheck,
    CentronicsTiming,
    NInitReset,
    RibbonNearEnd,
    PlugAndPlay,
    LabelEndHandling,
    PrePeel,
    BackFeedSpeed,
    CutSpeed,
};
inline constexpr std::size_t kGroupCount = 11;

struct GroupField {
    std::size_t position;  // in the record; the record starts at image offset 0
    int buttonCount;
};

inline constexpr std::array<GroupField, kGroupCount> kGroupFields{{
    {14, 2},  // automatic switching to forward standby
    {28, 2},  // function of the FEED key
    {32, 2},  // head disconnection check at power-on
    {33, 2},  // Centronics timing
    {35, 2},  // reset on nInit
    {36, 3},  // ribbon near-end detection
    {39, 2},  // Plug and Play
    {40, 2},  // label end / ribbon error handling
    {41, 2},  // pre-peel
    {42, 2},  // back-feed speed
    {46, 2},  // cut speed
}};

constexpr const GroupField &fieldOf(Group group)
{
    return kGroupFields[static_cast<std::size_t>(group)];
}

// Forward-standby adjustment: sign, whole millimetres, tenths.
inline constexpr std::size_t kAdjustmentSign = 15;
inline constexpr std::size_t kAdjustmentWhole = 16;
inline constexpr std::size_t kAdjustmentTenths = 17;

// Cut speed is written "0" for standard and "F" for high speed.
inline constexpr char kHighCutSpeed = 'F';

// What the page shows of the record.
struct Values {
    // Index of the chosen button per group (see Group). An index outside 0..buttonCount-1 selects
    // no button; it is the code read minus '0', so encoding writes that code back unchanged.
    std::array<int, kGroupCount> choices{};
    std::string adjustment = "0.0";

    int &choice(Group group) { return choices[static_cast<std::size_t>(group)]; }
    int choice(Group group) const { return choices[static_cast<std::size_t>(group)]; }
    bool operator==(const Values &) const = default;
};

bool isSelection(Group group, int index);

// Reads the owned positions of the parameter record; nothing else is looked at.
Values decode(const SettingsImage &image);

// Writes the owned positions (14-17, 28, 32, 33, 35, 36, 39-42, 46) and no other byte.
void encode(const Values &values, SettingsImage &image);

// Positions 15-17 as they stand, and three characters put back there unchanged.
std::string adjustmentBytes(const SettingsImage &image);
void putAdjustmentBytes(SettingsImage &image, std::string_view bytes);

// The three characters (sign, whole, tenths) that the adjustment text is stored as: its leading
// number rounded to tenths, halves away from zero; magnitudes from 10 on are stored as 9.9, the
// largest the field holds.
std::array<char, 3> encodeAdjustment(std::string_view text);

// The edit rule of the adjustment field, run on every change of its text. Returns the text that
// must replace `text`, or nothing when it stays. Only the first six characters are read; a text
// longer than four characters becomes "5.0" or "-5.0"; with the input focus, values beyond
// -5.0 ... 5.0 are clamped and values strictly between -0.5 and 0.5 other than zero become "0.0".
std::optional<std::string> filterAdjustment(std::string_view text, bool hasFocus);

// The spin beside the adjustment field: positions -10 ... 10, half a millimetre each.
inline constexpr int kSpinLower = -10;
inline constexpr int kSpinUpper = 10;
inline constexpr double kSpinScale = 0.5;
std::string spinStepText(int position);

// True when the adjustment at positions 15-17 of `image` is one of -5.0 ... 5.0 in 0.5 mm steps;
// otherwise `message` receives the text to show the user.
bool ValidateImage(const SettingsImage &image, std::string &message);

}  // namespace ParamRecord
