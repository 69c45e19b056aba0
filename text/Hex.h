#pragma once

#include <string>
#include <string_view>

// Hex digits, read and written in one place.
namespace Hex {

enum class Case { Upper, Lower };

// The value of a hex digit (either case), or -1.
constexpr int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The value of `digits` read as one hex number, or -1 when it is empty or holds a non-digit.
constexpr long Value(std::string_view digits)
{
    if (digits.empty())
        return -1;
    long value = 0;
    for (const char c : digits) {
        const int digit = DigitValue(c);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

// The digit of the low four bits of `value`.
constexpr char Digit(unsigned value, Case letters)
{
    return (letters == Case::Upper ? "0123456789ABCDEF" : "0123456789abcdef")[value & 0xF];
}

// `value` in exactly `digits` digits (its lowest 4 * digits bits), most significant first.
inline std::string Digits(unsigned long value, int digits, Case letters)
{
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4)
        text[static_cast<std::size_t>(i)] = Digit(static_cast<unsigned>(value), letters);
    return text;
}

}  // namespace Hex
