#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Code page 932 (Shift-JIS with the Windows extensions) <-> UTF-8, through iconv. The image, the
// pages' texts and their lengths are CP932 bytes; the widgets hold UTF-8.
namespace Cp932 {

// Nothing when some character has no CP932 form.
std::optional<std::string> FromUtf8(std::string_view utf8);
// As FromUtf8, with '?' for each character that has no CP932 form.
std::string FromUtf8Lossy(std::string_view utf8);
// Bytes that form no CP932 character become U+FFFD.
std::string ToUtf8(std::string_view cp932);

// Bytes of the image as a page shows them: CP932 text, and every byte that starts no CP932
// character (0x80, 0xA0, 0xFD-0xFF, a lead byte without its trail byte) as the character of the
// same number (U+0080-U+00FF), so that no byte is lost on the way to the screen.
std::string ToShown(std::string_view cp932);
// The way back: the characters ToShown gives single bytes (U+0080-U+00A0, U+00E0-U+00FF) as
// those bytes, every other character in CP932. Each character comes back as bytes that show it,
// though a character CP932 writes two ways (its NEC and IBM rows; U+00F7, which also stands for
// 81 80) need not come back as the bytes it was shown from. Nothing when some character has no
// CP932 form.
std::optional<std::string> FromShown(std::string_view utf8);
// As FromShown, with '?' for each character that has no byte.
std::string FromShownLossy(std::string_view utf8);

// The length of a shown text as CP932 counts it: one per single-byte character, two per
// double-byte one.
std::size_t ShownLength(std::string_view utf8);

}  // namespace Cp932
