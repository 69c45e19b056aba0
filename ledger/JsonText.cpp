#include "ledger/JsonText.h"

#include <cstdint>
#include <cstdio>

namespace JsonText {
namespace {

void appendEscape(std::string &out, std::uint32_t unit)
{
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
    out += escape;
}

void appendCharacter(std::string &out, std::uint32_t character)
{
    if (character == '"' || character == '\\') {
        out += '\\';
        out += static_cast<char>(character);
    } else if (character == '\n') {
        out += "\\n";
    } else if (character >= 0x20 && character < 0x7f) {
        out += static_cast<char>(character);
    } else if (character > 0xffff) {  // a surrogate pair
        const std::uint32_t rest = character - 0x10000;
        appendEscape(out, 0xd800 + (rest >> 10));
        appendEscape(out, 0xdc00 + (rest & 0x3ff));
    } else {
        appendEscape(out, character);
    }
}

// The character UTF-8 encodes at `i`, moving `i` past it; U+FFFD for a byte that starts none.
std::uint32_t nextCharacter(std::string_view text, std::size_t &i)
{
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80)
        return lead;
    const std::size_t more = lead >= 0xf0 && lead < 0xf5 ? 3 : lead >= 0xe0 ? 2 : lead >= 0xc2 && lead < 0xe0 ? 1 : 0;
    if (more == 0 || lead >= 0xf5 || i + more > text.size())
        return 0xfffd;
    std::uint32_t character = lead & (0x3f >> more);
    for (std::size_t k = 0; k < more; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xc0) != 0x80)
            return 0xfffd;
        character = character << 6 | (next & 0x3f);
    }
    const bool overlong = (more == 2 && character < 0x800) || (more == 3 && character < 0x10000);
    if (overlong || character > 0x10ffff || (character >= 0xd800 && character < 0xe000))
        return 0xfffd;
    i += more;
    return character;
}

}  // namespace

std::string ofText(std::string_view utf8)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < utf8.size();)
        appendCharacter(out, nextCharacter(utf8, i));
    return out + '"';
}

std::string ofBytes(std::string_view bytes)
{
    std::string out = "\"";
    for (const char byte : bytes)
        appendCharacter(out, static_cast<unsigned char>(byte));
    return out + '"';
}

}  // namespace JsonText
