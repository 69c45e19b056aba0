#include "ParamRecord.h"

#include "DecimalText.h"
#include "ImageLayout.h"
#include "Strings.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace ParamRecord {
namespace {

constexpr std::size_t offsetOf(std::size_t position)
{
    return ImageLayout::kParamRecord + position;
}

int decodeChoice(Group group, char code)
{
    if (group == Group::CutSpeed)
        return code == '0' ? 0 : 1;
    return code - '0';
}

// The code for `index`; for an index that selects no button, the code it was read from.
std::optional<char> encodeChoice(Group group, int index)
{
    if (group == Group::CutSpeed) {
        if (!isSelection(group, index))
            return std::nullopt;
        return index == 0 ? '0' : kHighCutSpeed;
    }
    const int code = '0' + index;
    if (code < CHAR_MIN || code > CHAR_MAX)
        return std::nullopt;
    return static_cast<char>(code);
}

std::string decodeAdjustment(const SettingsImage &image)
{
    const char sign = image[offsetOf(kAdjustmentSign)];
    const char whole = image[offsetOf(kAdjustmentWhole)];
    const char tenths = image[offsetOf(kAdjustmentTenths)];
    if (sign == '+')
        return {whole, '.', tenths};
    return {sign, whole, '.', tenths};
}

bool isDigitIn(char c, char low, char high)
{
    return c >= low && c <= high;
}

}  // namespace

bool isSelection(Group group, int index)
{
    return index >= 0 && index < fieldOf(group).buttonCount;
}

Values decode(const SettingsImage &image)
{
    Values values;
    for (std::size_t i = 0; i < kGroupCount; ++i) {
        const auto group = static_cast<Group>(i);
        values.choices[i] = decodeChoice(group, image[offsetOf(fieldOf(group).position)]);
    }
    values.adjustment = decodeAdjustment(image);
    return values;
}

void encode(const Values &values, SettingsImage &image)
{
    for (std::size_t i = 0; i < kGroupCount; ++i) {
        const auto group = static_cast<Group>(i);
        if (const auto code = encodeChoice(group, values.choices[i]))
            image[offsetOf(fieldOf(group).position)] = *code;
    }
    const std::array<char, 3> adjustment = encodeAdjustment(values.adjustment);
    image[offsetOf(kAdjustmentSign)] = adjustment[0];
    image[offsetOf(kAdjustmentWhole)] = adjustment[1];
    image[offsetOf(kAdjustmentTenths)] = adjustment[2];
}

std::string adjustmentBytes(const SettingsImage &image)
{
    return std::string(image.slice(offsetOf(kAdjustmentSign), 3));
}

void putAdjustmentBytes(SettingsImage &image, std::string_view bytes)
{
    for (std::size_t i = 0; i < 3; ++i)
        image[offsetOf(kAdjustmentSign + i)] = bytes.at(i);
}

std::array<char, 3> encodeAdjustment(std::string_view text)
{
    constexpr long kLargestStored = 99;  // 9.9 mm: one whole digit, one tenth
    const long tenths = DecimalText::roundTenthsAwayFromZero(DecimalText::leadingDecimal(text));
    const long magnitude = std::min(std::labs(tenths), kLargestStored);
    return {tenths < 0 ? '-' : '+', static_cast<char>('0' + magnitude / 10),
            static_cast<char>('0' + magnitude % 10)};
}

std::optional<std::string> filterAdjustment(std::string_view text, bool hasFocus)
{
    constexpr std::size_t kCharactersRead = 6;
    constexpr std::size_t kLongestKept = 4;
    const double x = DecimalText::leadingDecimal(text.substr(0, kCharactersRead));

    std::optional<std::string> replacement;
    if (text.size() > kLongestKept)
        replacement = x < 0 ? "-5.0" : "5.0";
    if (hasFocus) {
        if (x < -5.0)
            replacement = "-5.0";
        else if (x > 5.0)
            replacement = "5.0";
        else if ((x > 0 && x < 0.5) || (x > -0.5 && x < 0))
            replacement = "0.0";
    }
    return replacement;
}

std::string spinStepText(int position)
{
    return DecimalText::formatOneDecimal(position * kSpinScale);
}

bool ValidateImage(const SettingsImage &image, std::string &message)
{
    const char sign = image[offsetOf(kAdjustmentSign)];
    const char whole = image[offsetOf(kAdjustmentWhole)];
    const char tenths = image[offsetOf(kAdjustmentTenths)];
    const bool valid = (sign == '+' || sign == '-') && isDigitIn(whole, '0', '5')
                       && (tenths == '0' || tenths == '5') && !(whole == '5' && tenths != '0');
    if (!valid)
        message = Str::kBadForwardStandby;
    return valid;
}

}  // namespace ParamRecord
