#include "text/VisibleText.h"

#include "text/Utf8.h"

namespace VisibleText {

bool IsHidden(char32_t c)
{
    const bool control = IsAsciiControl(c) || (c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029;
    const bool bidi = c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E)
                      || (c >= 0x2066 && c <= 0x2069);
    const bool zeroWidth = (c >= 0x200B && c <= 0x200D) || (c >= 0x2060 && c <= 0x2065) || c == 0xFEFF;
    const bool blank = c == 0x00AD || c == 0x115F || c == 0x1160 || c == 0x180E || c == 0x3164 || c == 0xFFA0
                       || (c >= 0x206A && c <= 0x206F) || (c >= 0xE0000 && c <= 0xE007F);
    return control || bidi || zeroWidth || blank;
}

std::string UnicodeEscape(char32_t c, Hex::Case letters)
{
    return c > 0xFFFF ? "\\U" + Hex::Digits(c, 8, letters) : "\\u" + Hex::Digits(c, 4, letters);
}

std::string ByteEscape(unsigned char byte, Hex::Case letters)
{
    return "\\x" + Hex::Digits(byte, 2, letters);
}

std::string Escaped(std::string_view utf8)
{
    std::string shown;
    shown.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8::Decoded character = Utf8::DecodeAt(utf8, i);
        if (character.length == 0) {  // not UTF-8: left for the widget to show as it does
            shown += utf8[i++];
            continue;
        }
        if (IsHidden(character.codePoint))
            shown += UnicodeEscape(character.codePoint, Hex::Case::Upper);
        else
            shown += utf8.substr(i, character.length);
        i += character.length;
    }
    return shown;
}

}  // namespace VisibleText
