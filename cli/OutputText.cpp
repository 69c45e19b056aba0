#include "cli/OutputText.h"

#include "text/VisibleText.h"

#include <cstdio>

namespace OutputText {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

unsigned char byteAt(std::string_view text, std::size_t index)
{
    return static_cast<unsigned char>(text[index]);
}

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence at `index`, or 0 when none starts there (overlong
// forms, surrogates and values above U+10FFFF are not well-formed).
std::size_t sequenceLength(std::string_view text, std::size_t index)
{
    const unsigned char lead = byteAt(text, index);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (index + length > text.size())
        return 0;
    const unsigned char second = byteAt(text, index + 1);
    if (second < low || second > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (!isContinuation(byteAt(text, index + i)))
            return 0;
    }
    return length;
}

std::string hexEscape(const char *format, unsigned value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

}  // namespace

std::string validUtf8(std::string_view bytes)
{
    std::string result;
    result.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = sequenceLength(bytes, i);
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

namespace {

// The code point of the well-formed sequence of `length` bytes at `index`.
char32_t codePointAt(std::string_view text, std::size_t index, std::size_t length)
{
    const unsigned char lead = byteAt(text, index);
    if (length == 1)
        return lead;
    char32_t value = lead & (0xFF >> (length + 1));
    for (std::size_t i = 1; i < length; ++i)
        value = (value << 6) | (byteAt(text, index + i) & 0x3F);
    return value;
}

// \uNNNN, or \UNNNNNNNN beyond U+FFFF.
std::string unicodeEscape(char32_t c)
{
    return c > 0xFFFF ? hexEscape("\\U%08x", static_cast<unsigned>(c)) : hexEscape("\\u%04x", static_cast<unsigned>(c));
}

// A JSON \uNNNN escape; beyond U+FFFF, the two of its surrogate pair.
std::string jsonEscape(char32_t c)
{
    if (c <= 0xFFFF)
        return hexEscape("\\u%04x", static_cast<unsigned>(c));
    const char32_t offset = c - 0x10000;
    return hexEscape("\\u%04x", static_cast<unsigned>(0xD800 + (offset >> 10)))
         + hexEscape("\\u%04x", static_cast<unsigned>(0xDC00 + (offset & 0x3FF)));
}

// Every character of `text` made visible; bytes that are not UTF-8 as U+FFFD, or as \xNN when
// `keepBytes` (and a backslash then doubled, so the escapes can be undone).
std::string visible(std::string_view text, bool keepBytes)
{
    std::string result;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = sequenceLength(text, i);
        if (length == 0) {
            result += keepBytes ? hexEscape("\\x%02x", byteAt(text, i)) : std::string(kReplacement);
            ++i;
            continue;
        }
        const char32_t c = codePointAt(text, i, length);
        if (c < 0x20 || c == 0x7F)
            result += hexEscape("\\x%02x", static_cast<unsigned>(c));
        else if (VisibleText::IsHidden(c))
            result += unicodeEscape(c);
        else if (c == '\\' && keepBytes)
            result += "\\\\";
        else
            result += text.substr(i, length);
        i += length;
    }
    return result;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The value of `digits` hex digits at `index`, or -1.
long hexNumber(std::string_view text, std::size_t index, std::size_t digits)
{
    if (index + digits > text.size())
        return -1;
    long value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const int digit = hexValue(text[index + i]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

void appendUtf8(std::string &out, char32_t c)
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

}  // namespace

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
        } else if (const long code = kind == 'u' ? hexNumber(text, i + 2, 4) : -1; code >= 0) {
            appendUtf8(result, static_cast<char32_t>(code));
            i += 5;
        } else if (const long wide = kind == 'U' ? hexNumber(text, i + 2, 8) : -1; wide >= 0 && wide <= 0x10FFFF) {
            appendUtf8(result, static_cast<char32_t>(wide));
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
        const std::size_t length = sequenceLength(valid, i);
        const char32_t c = codePointAt(valid, i, length);
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
