#include "text/Utf8.h"

namespace Utf8 {
namespace {

unsigned char byteAt(std::string_view text, std::size_t index)
{
    return static_cast<unsigned char>(text[index]);
}

// The length a lead byte announces and the range its second byte must lie in: the narrowed
// ranges after E0, ED, F0 and F4 are what keeps out overlong forms, surrogates and values beyond
// U+10FFFF. Length 0 for a byte that leads nothing (continuation bytes, C0, C1, F5-FF).
struct Lead
{
    std::size_t length;
    unsigned char low;
    unsigned char high;
};

Lead leadOf(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return {2, 0x80, 0xBF};
    if (lead >= 0xE0 && lead <= 0xEF)
        return {3, static_cast<unsigned char>(lead == 0xE0 ? 0xA0 : 0x80), static_cast<unsigned char>(lead == 0xED ? 0x9F : 0xBF)};
    if (lead >= 0xF0 && lead <= 0xF4)
        return {4, static_cast<unsigned char>(lead == 0xF0 ? 0x90 : 0x80), static_cast<unsigned char>(lead == 0xF4 ? 0x8F : 0xBF)};
    return {0, 0, 0};
}

}  // namespace

Decoded DecodeAt(std::string_view text, std::size_t index)
{
    const unsigned char first = byteAt(text, index);
    if (first < 0x80)
        return {first, 1};
    const Lead lead = leadOf(first);
    if (lead.length == 0 || lead.length > text.size() - index)
        return {};
    const unsigned char second = byteAt(text, index + 1);
    if (second < lead.low || second > lead.high)
        return {};
    char32_t value = first & (0x7F >> lead.length);
    for (std::size_t i = 1; i < lead.length; ++i) {
        const unsigned char byte = byteAt(text, index + i);
        if (!IsContinuation(byte))
            return {};
        value = (value << 6) | (byte & 0x3F);
    }
    return {value, lead.length};
}

void Append(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Encoded(char32_t codePoint)
{
    std::string out;
    Append(out, codePoint);
    return out;
}

bool IsValid(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = DecodeAt(text, i).length;
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

}  // namespace Utf8
