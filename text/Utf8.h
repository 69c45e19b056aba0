#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-8, read strictly (RFC 3629): a sequence is well-formed only in its shortest form, never a
// surrogate (U+D800-U+DFFF), never beyond U+10FFFF, and whole. Everything in the program that
// reads characters out of bytes reads them here, so every reader agrees on what is text.
namespace Utf8 {

struct Decoded
{
    char32_t codePoint = 0;
    std::size_t length = 0;  // 0: no well-formed sequence starts there
};

// The character whose sequence starts at `index` (which must lie within `text`).
Decoded DecodeAt(std::string_view text, std::size_t index);

// The character's sequence appended to `out`; `codePoint` must be a scalar value (no surrogate,
// at most U+10FFFF).
void Append(std::string &out, char32_t codePoint);
std::string Encoded(char32_t codePoint);

bool IsValid(std::string_view text);

constexpr bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

constexpr bool IsSurrogate(char32_t codePoint)
{
    return codePoint >= 0xD800 && codePoint <= 0xDFFF;
}

}  // namespace Utf8
