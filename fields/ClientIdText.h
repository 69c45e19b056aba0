#pragma once

#include "text/Cp932.h"

#include <cstddef>
#include <string>
#include <string_view>

// The DHCP client ID as the page shows it and as the image holds it. The image holds 32 hex
// digits, two per byte of the ID, filled with 'F'. The box shows either those digits (HEX) or the
// ID's own bytes as code-page-932 text (ASCII). Everything here works on CP932 bytes; Cp932 turns
// them into the UTF-8 the widgets use (ToShown) and back (FromShown).
namespace ClientIdText {

inline constexpr std::size_t kFieldWidth = 32;      // hex digits in the image
inline constexpr std::size_t kAsciiBoxBytes = 16;   // box limit while it holds ASCII text
inline constexpr std::size_t kHexBoxDigits = 32;    // box limit while it holds HEX text

// Text shown after loading the 32-digit field. HEX: the digits in upper case. ASCII: one byte
// per digit pair whose value lies in 0x21-0xDF; other pairs add nothing (so the 'F' fill shows as
// nothing).
std::string shownFromField(std::string_view field, bool hex);

// The 32 characters to store for the box text. ASCII: every byte as two lower-case hex digits.
// HEX: the text as typed. Padded with 'F' and cut to 32.
std::string fieldFromBox(std::string_view boxBytes, bool hex);

// "ASCII" chosen while the box holds hex digits: pairs (a last odd digit alone) whose value lies
// in 0x20-0x7E become one byte each; others are dropped.
std::string asciiFromHexBox(std::string_view boxBytes);

// "HEX" chosen while the box holds ASCII text: every byte as two upper-case hex digits.
std::string hexFromAsciiBox(std::string_view boxBytes);

// True when every character is a hexadecimal digit (either case).
bool isHexDigits(std::string_view text);

}  // namespace ClientIdText

// Whether the client-ID box holds HEX text. One flag for the whole program: it follows the text in
// the box, while the page's input type follows the radio buttons.
namespace ClientIdTextMode {

bool holdsHex();
void setHoldsHex(bool holdsHex);

}  // namespace ClientIdTextMode
