#include "fields/DecimalText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace DecimalText {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Index of the first character that is not a blank.
std::size_t skipBlanks(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return i;
}

std::size_t skipDigits(std::string_view text, std::size_t i)
{
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

// End of an exponent starting at `i` ("e", optional sign, at least one digit), or `i` itself
// when there is no complete exponent there.
std::size_t exponentEnd(std::string_view text, std::size_t i)
{
    if (i >= text.size() || (text[i] != 'e' && text[i] != 'E'))
        return i;
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-'))
        ++j;
    const std::size_t digitsEnd = skipDigits(text, j);
    return digitsEnd > j ? digitsEnd : i;
}

// The power of ten of the first significant digit of an unsigned decimal text such as
// "0.012e5" (here 3); only its sign matters, to tell overflow from underflow.
double decimalExponent(std::string_view number)
{
    const std::size_t e = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, e);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t firstSignificant = mantissa.find_first_of("123456789");
    if (firstSignificant == std::string_view::npos)
        return -std::numeric_limits<double>::infinity();
    const double exponent
        = e == std::string_view::npos ? 0.0 : static_cast<double>(leadingInteger(number.substr(e + 1)));
    const double shift = firstSignificant < point
                             ? static_cast<double>(point - firstSignificant - 1)
                             : -static_cast<double>(firstSignificant - point);
    return exponent + shift;
}

// Where the unsigned decimal number that starts at `start` ends (digits, an optional point and
// fraction, an optional exponent); `start` itself when no digit stands there.
std::size_t numberEnd(std::string_view text, std::size_t start)
{
    const std::size_t wholeEnd = skipDigits(text, start);
    std::size_t end = wholeEnd;
    bool anyDigit = wholeEnd > start;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fractionEnd = skipDigits(text, end + 1);
        anyDigit = anyDigit || fractionEnd > end + 1;
        end = fractionEnd;
    }
    return anyDigit ? exponentEnd(text, end) : start;
}

// Index after the blanks and the optional sign; `negative` tells the sign.
std::size_t skipBlanksAndSign(std::string_view text, bool &negative)
{
    std::size_t i = skipBlanks(text);
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return i;
}

}  // namespace

bool startsWithNumber(std::string_view text)
{
    bool negative = false;
    const std::size_t start = skipBlanksAndSign(text, negative);
    return numberEnd(text, start) > start;
}

double leadingDecimal(std::string_view text)
{
    bool negative = false;
    const std::size_t start = skipBlanksAndSign(text, negative);
    const std::size_t end = numberEnd(text, start);
    if (end == start)
        return 0.0;

    double magnitude = 0.0;
    const auto result = std::from_chars(text.data() + start, text.data() + end, magnitude,
                                        std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Like strtod: too large gives infinity, too small gives zero.
        magnitude = decimalExponent(text.substr(start, end - start)) > 0
                        ? std::numeric_limits<double>::infinity()
                        : 0.0;
    }
    return negative ? -magnitude : magnitude;
}

long leadingInteger(std::string_view text)
{
    bool negative = false;
    std::size_t i = skipBlanksAndSign(text, negative);
    constexpr long kMax = std::numeric_limits<long>::max();
    constexpr long kMin = std::numeric_limits<long>::min();
    long value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        const long digit = text[i] - '0';
        // Accumulate towards the sign so that the most negative value stays reachable.
        if (negative) {
            if (value < (kMin + digit) / 10)
                return kMin;
            value = value * 10 - digit;
        } else {
            if (value > (kMax - digit) / 10)
                return kMax;
            value = value * 10 + digit;
        }
    }
    return value;
}

long roundTenthsAwayFromZero(double value)
{
    if (std::isnan(value))
        return 0;
    const double tenths = std::round(value * 10.0);  // std::round rounds halves away from zero
    constexpr double kLimit = 1e18;                   // well inside long on every platform here
    if (tenths >= kLimit)
        return static_cast<long>(kLimit);
    if (tenths <= -kLimit)
        return -static_cast<long>(kLimit);
    return static_cast<long>(tenths);
}

std::string formatOneDecimal(double value)
{
    std::array<char, 400> buffer{};  // enough for the largest double in fixed notation
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, 1);
    return std::string(buffer.data(), result.ptr);
}

}  // namespace DecimalText
