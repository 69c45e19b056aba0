#include "fields/DecimalCodecs.h"

#include "fields/DecimalText.h"
#include "text/Cp932.h"

#include <algorithm>
#include <cstdlib>

using namespace DecimalText;

namespace Fields {
namespace {

bool holdsHighByte(std::string_view bytes)
{
    return std::ranges::any_of(bytes, [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Optional sign, then digits with at most one point among them, and at least one digit.
bool isPlainDecimal(std::string_view text)
{
    if (!text.empty() && (text.front() == '+' || text.front() == '-'))
        text.remove_prefix(1);
    const std::size_t digits = static_cast<std::size_t>(std::ranges::count_if(text, isDigit));
    const std::size_t points = static_cast<std::size_t>(std::ranges::count(text, '.'));
    return digits > 0 && points <= 1 && digits + points == text.size();
}

// "123" -> "12.3": the implied point stands before the last digit.
std::string withImpliedPoint(std::string_view digits)
{
    return std::string(digits.substr(0, digits.size() - 1)) + '.' + digits.back();
}

long largestMagnitude(std::size_t digitCount)
{
    long largest = 1;
    for (std::size_t i = 0; i < digitCount; ++i)
        largest *= 10;
    return largest - 1;
}

// The text's number in tenths, rounded half away from zero and kept inside what the digits hold.
long tenthsOf(std::string_view text, std::size_t digitCount)
{
    const long largest = largestMagnitude(digitCount);
    const double x = leadingDecimal(text);
    if (!(x > 0))
        return 0;
    if (x * 10 > static_cast<double>(largest))
        return largest;
    return std::clamp(roundTenthsAwayFromZero(x), 0L, largest);
}

void writeDigits(long magnitude, std::size_t first, std::size_t count, SettingsImage &image)
{
    for (std::size_t p = first + count; p-- > first;) {
        image[p] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    }
}

std::string bytesOf(const FieldValue &value)
{
    return Cp932::FromShownLossy(value.text);
}

FieldValue shownText(std::string_view bytes)
{
    return {std::nullopt, Cp932::ToShown(bytes)};
}

}  // namespace

std::optional<std::string> DecimalCodec::filter(std::string_view text, bool hasFocus) const
{
    return m_rule.apply(Cp932::FromShownLossy(text), hasFocus);
}

Accepted DecimalCodec::accept(const Field &, std::string_view typed, const SettingsImage &) const
{
    if (!isPlainDecimal(typed))
        return {std::nullopt, "not a number"};
    return {FieldValue{std::nullopt, filter(typed, true).value_or(std::string(typed))}, {}};
}

bool DecimalCodec::keeps(const Loaded &loaded, const SettingsImage &) const
{
    return holdsHighByte(loaded.bytes);
}

FieldValue AdjustmentCodec::decode(const Field &field, const SettingsImage &image) const
{
    const std::size_t at = field.owned.front().offset;
    const char sign = image[at];
    const char whole = image[at + 1];
    const char tenths = image[at + 2];
    if (sign == '+')
        return shownText(std::string{whole, '.', tenths});
    return shownText(std::string{sign, whole, '.', tenths});
}

void AdjustmentCodec::encode(const Field &field, const FieldValue &value, SettingsImage &image) const
{
    constexpr long kLargestStored = 99;  // 9.9 mm: one whole digit, one tenth
    const long tenths = roundTenthsAwayFromZero(leadingDecimal(bytesOf(value)));
    const long magnitude = std::min(std::labs(tenths), kLargestStored);
    const std::size_t at = field.owned.front().offset;
    image[at] = tenths < 0 ? '-' : '+';
    writeDigits(magnitude, at + 1, 2, image);
}

FieldValue TenthsCodec::decode(const Field &field, const SettingsImage &image) const
{
    const ImageSpan digits = field.owned.front();
    const std::string text = withImpliedPoint(image.slice(digits.offset, digits.length));
    if (m_shown == Shown::AsTheyStand)
        return shownText(text);
    return shownText(formatOneDecimal(leadingDecimal(text)));
}

void TenthsCodec::encode(const Field &field, const FieldValue &value, SettingsImage &image) const
{
    const ImageSpan digits = field.owned.front();
    writeDigits(tenthsOf(bytesOf(value), digits.length), digits.offset, digits.length, image);
}

FieldValue StepsCodec::decode(const Field &field, const SettingsImage &image) const
{
    const ImageSpan span = field.owned.front();  // the sign, then the digits
    const char sign = image[span.offset];
    const std::string_view digits = image.slice(span.offset + 1, span.length - 1);
    const std::string read = sign == '+' && m_sign == Sign::Follows ? std::string(digits) : sign + std::string(digits);
    return shownText(std::to_string(leadingInteger(read)));
}

void StepsCodec::encode(const Field &field, const FieldValue &value, SettingsImage &image) const
{
    const ImageSpan span = field.owned.front();
    const long n = leadingInteger(bytesOf(value));
    image[span.offset] = (m_sign == Sign::AlwaysMinus || n < 0) ? '-' : '+';
    const long largest = largestMagnitude(span.length - 1);
    const long magnitude = n < 0 ? (n < -largest ? largest : -n) : std::min(n, largest);
    writeDigits(magnitude, span.offset + 1, span.length - 1, image);
}

}  // namespace Fields
