#include "FineRecord.h"

#include "DecimalText.h"
#include "ImageLayout.h"

#include <algorithm>
#include <string_view>

using namespace DecimalText;

namespace {

char recordAt(const SettingsImage &image, std::size_t position)
{
    return image[ImageLayout::kFineRecord + position];
}

char &recordAt(SettingsImage &image, std::size_t position)
{
    return image[ImageLayout::kFineRecord + position];
}

std::string digitsOf(const SettingsImage &image, const FinePositions &positions)
{
    std::string digits;
    for (std::size_t p = positions.firstDigit; p <= positions.lastDigit; ++p)
        digits += recordAt(image, p);
    return digits;
}

// "123" -> "12.3": the implied point stands before the last digit.
std::string withImpliedPoint(const std::string &digits)
{
    return digits.substr(0, digits.size() - 1) + '.' + digits.back();
}

std::string decodeDirection(char sign, const FineDirection &direction)
{
    return std::string(sign == '+' ? direction.plusItem : direction.minusItem);
}

std::string decodeValue(const SettingsImage &image, const FineField &field)
{
    const std::string digits = digitsOf(image, field.positions);
    const char sign = field.positions.sign ? recordAt(image, *field.positions.sign) : '+';
    switch (field.coding) {
    case FineCoding::Millimetres:
        return formatOneDecimal(leadingDecimal(withImpliedPoint(digits)));
    case FineCoding::Steps:
        return std::to_string(leadingInteger(sign == '+' ? digits : sign + digits));
    case FineCoding::RibbonSteps:
        return std::to_string(leadingInteger(sign + digits));
    case FineCoding::Volts:
        return withImpliedPoint(digits);
    }
    return {};
}

long largestMagnitude(std::size_t digitCount)
{
    long largest = 1;
    for (std::size_t i = 0; i < digitCount; ++i)
        largest *= 10;
    return largest - 1;
}

// The text's number in tenths, rounded half away from zero and kept inside what the digits hold.
long tenthsOf(const std::string &text, std::size_t digitCount)
{
    const long largest = largestMagnitude(digitCount);
    const double x = leadingDecimal(text);
    if (!(x > 0))
        return 0;
    if (x * 10 > static_cast<double>(largest))
        return largest;
    return std::clamp(roundTenthsAwayFromZero(x), 0L, largest);
}

void writeDigits(long magnitude, const FinePositions &positions, SettingsImage &image)
{
    for (std::size_t p = positions.lastDigit + 1; p-- > positions.firstDigit;) {
        recordAt(image, p) = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    }
}

void encodeSteps(long n, bool alwaysMinus, const FineField &field, SettingsImage &image)
{
    recordAt(image, *field.positions.sign) = (alwaysMinus || n < 0) ? '-' : '+';
    const long largest = largestMagnitude(field.positions.digitCount());
    const long magnitude = n < 0 ? (n < -largest ? largest : -n) : std::min(n, largest);
    writeDigits(magnitude, field.positions, image);
}

void encodeValue(const std::string &text, const FineField &field, SettingsImage &image)
{
    switch (field.coding) {
    case FineCoding::Millimetres:
    case FineCoding::Volts:
        writeDigits(tenthsOf(text, field.positions.digitCount()), field.positions, image);
        return;
    case FineCoding::Steps:
        encodeSteps(leadingInteger(text), false, field, image);
        return;
    case FineCoding::RibbonSteps:
        encodeSteps(leadingInteger(text), true, field, image);
        return;
    }
}

}  // namespace

namespace FineRecord {

FineTexts Decode(const SettingsImage &image)
{
    FineTexts texts;
    for (std::size_t row = 0; row < FineFields::kCount; ++row) {
        const FineField &field = FineFields::kRows[row];
        if (field.direction)
            texts[row].direction = decodeDirection(recordAt(image, *field.positions.sign),
                                                   *field.direction);
        texts[row].value = decodeValue(image, field);
    }
    return texts;
}

namespace {

// Positions of a row's value bytes: a sign that no direction list owns, then the digits.
std::size_t firstValuePosition(const FineField &field)
{
    return field.positions.sign && !field.direction ? *field.positions.sign : field.positions.firstDigit;
}

}  // namespace

std::string ValueBytes(const SettingsImage &image, std::size_t row)
{
    const FineField &field = FineFields::kRows.at(row);
    std::string bytes;
    for (std::size_t p = firstValuePosition(field); p <= field.positions.lastDigit; ++p)
        bytes += recordAt(image, p);
    return bytes;
}

void PutValueBytes(SettingsImage &image, std::size_t row, std::string_view bytes)
{
    const FineField &field = FineFields::kRows.at(row);
    const std::size_t first = firstValuePosition(field);
    for (std::size_t p = first; p <= field.positions.lastDigit; ++p)
        recordAt(image, p) = bytes.at(p - first);
}

void Encode(const FineTexts &texts, SettingsImage &image)
{
    for (std::size_t row = 0; row < FineFields::kCount; ++row) {
        const FineField &field = FineFields::kRows[row];
        if (field.direction)
            recordAt(image, *field.positions.sign) =
                texts[row].direction == field.direction->plusItem ? '+' : '-';
        encodeValue(texts[row].value, field, image);
    }
}

}  // namespace FineRecord
