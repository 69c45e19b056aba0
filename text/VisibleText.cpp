#include "text/VisibleText.h"

#include <utility>

namespace VisibleText {
namespace {

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The code point of the well-formed UTF-8 sequence at `index` and its length; length 0 when
// none starts there.
std::pair<char32_t, std::size_t> codePointAt(std::string_view text, std::size_t index)
{
    const auto lead = static_cast<unsigned char>(text[index]);
    if (lead < 0x80)
        return {lead, 1};
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || index + length > text.size())
        return {0, 0};
    char32_t value = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[index + i]);
        if (!isContinuation(byte))
            return {0, 0};
        value = (value << 6) | (byte & 0x3F);
    }
    return {value, length};
}

std::string escapeOf(char32_t c)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const bool beyondBmp = c > 0xFFFF;
    std::string escape = beyondBmp ? "\\U" : "\\u";
    for (int shift = beyondBmp ? 28 : 12; shift >= 0; shift -= 4)
        escape += kDigits[(c >> shift) & 0xF];
    return escape;
}

}  // namespace

bool IsHidden(char32_t c)
{
    const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
    const bool bidi = c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E)
                      || (c >= 0x2066 && c <= 0x2069);
    const bool zeroWidth = (c >= 0x200B && c <= 0x200D) || (c >= 0x2060 && c <= 0x2065) || c == 0xFEFF;
    const bool blank = c == 0x00AD || c == 0x115F || c == 0x1160 || c == 0x180E || c == 0x3164 || c == 0xFFA0
                       || (c >= 0x206A && c <= 0x206F) || (c >= 0xE0000 && c <= 0xE007F);
    return control || bidi || zeroWidth || blank;
}

std::string Escaped(std::string_view utf8)
{
    std::string shown;
    shown.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto [codePoint, length] = codePointAt(utf8, i);
        if (length == 0) {  // not UTF-8: left for the widget to show as it does
            shown += utf8[i++];
            continue;
        }
        if (IsHidden(codePoint))
            shown += escapeOf(codePoint);
        else
            shown += utf8.substr(i, length);
        i += length;
    }
    return shown;
}

}  // namespace VisibleText
