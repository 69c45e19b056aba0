#include "cli/OutputText.h"

#include "text/Hex.h"
#include "text/Utf8.h"
#include "text/VisibleText.h"

namespace OutputText {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr Hex::Case kLetters = Hex::Case::Lower;

// A JSON \uNNNN escape; beyond U+FFFF, the two of its surrogate pair.
std::string jsonEscape(char32_t c)
{
    if (c <= 0xFFFF)
        return VisibleText::UnicodeEscape(c, kLetters);
    const char32_t offset = c - 0x10000;
    return VisibleText::UnicodeEscape(0xD800 + (offset >> 10), kLetters)
         + VisibleText::UnicodeEscape(0xDC00 + (offset & 0x3FF), kLetters);
}

// Every character of `text` made visible; bytes that are not UTF-8 as U+FFFD, or as \xNN when
// `keepBytes` (and a backslash then doubled, so the escapes can be undone).
std::string visible(std::string_view text, bool keepBytes)
{
    std::string result;
    for (std::size_t i = 0; i < text.size();) {
        const auto [c, length] = Utf8::DecodeAt(text, i);
        if (length == 0) {
            result += keepBytes ? VisibleText::ByteEscape(static_cast<unsigned char>(text[i]), kLetters)
                                : std::string(kReplacement);
            ++i;
            continue;
        }
        if (VisibleText::IsAsciiControl(c))
            result += VisibleText::ByteEscape(static_cast<unsigned char>(c), kLetters);
        else if (VisibleText::IsHidden(c))
            result += VisibleText::UnicodeEscape(c, kLetters);
        else if (c == '\\' && keepBytes)
            result += "\\\\";
        else
            result += text.substr(i, length);
        i += length;
    }
    return result;
}

// The value of `digits` hex digits at `index`, or -1.
long hexNumber(std::string_view text, std::size_t index, std::size_t digits)
{
    if (index + digits > text.size())
        return -1;
    return Hex::Value(text.substr(index, digits));
}

// The character that `digits` hex digits at `index` name, or -1 when they name none (a
// surrogate, or a number beyond U+10FFFF).
long characterNumber(std::string_view text, std::size_t index, std::size_t digits)
{
    const long value = hexNumber(text, index, digits);
    return value > 0x10FFFF || Utf8::IsSurrogate(static_cast<char32_t>(value)) ? -1 : value;
}

}  // namespace

std::string validUtf8(std::string_view bytes)
{
    std::string result;
    result.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = Utf8::DecodeAt(bytes, i).length;
        if (length == 0) {
            result += kReplacement;
            ++i;
        } else {
            result += bytes.substr(i, length);
            i += length;
        }
    }
    return result;
}

std::string forTerminal(std::string_view text)
{
    return visible(text, false);
}

std::string printerName(std::string_view name)
{
    return visible(name, true);
}

std::string unescapePrinterName(std::string_view text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            result += text[i];
            continue;
        }
        const char kind = text[i + 1];
        if (kind == '\\') {
            result += '\\';
            ++i;
        } else if (const long byte = kind == 'x' ? hexNumber(text, i + 2, 2) : -1; byte >= 0) {
            result += static_cast<char>(byte);
            i += 3;
        } else if (const long code = kind == 'u' ? characterNumber(text, i + 2, 4) : -1; code >= 0) {
            Utf8::Append(result, static_cast<char32_t>(code));
            i += 5;
        } else if (const long wide = kind == 'U' ? characterNumber(text, i + 2, 8) : -1; wide >= 0) {
            Utf8::Append(result, static_cast<char32_t>(wide));
            i += 9;
        } else {
            result += text[i];
        }
    }
    return result;
}

std::string jsonString(std::string_view text)
{
    const std::string valid = validUtf8(text);
    std::string result = "\"";
    for (std::size_t i = 0; i < valid.size();) {
        const auto [c, length] = Utf8::DecodeAt(valid, i);
        switch (c) {
        case '"': result += "\\\""; break;
        case '\\': result += "\\\\"; break;
        case '\n': result += "\\n"; break;
        case '\r': result += "\\r"; break;
        case '\t': result += "\\t"; break;
        default:
            if (VisibleText::IsHidden(c))
                result += jsonEscape(c);
            else
                result += valid.substr(i, length);
        }
        i += length;
    }
    return result + '"';
}

}  // namespace OutputText
