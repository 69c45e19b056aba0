#pragma once

#include "ImageLayout.h"
#include "SettingsImage.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The network records of the settings image: the three address records (IP address, gateway,
// subnet mask), the socket port record, the DHCP flag and client ID of the client-ID record, and
// the input-type byte. Only the value positions are read and written; ESC, command letters,
// separators, LF and NUL stay as the image holds them.
namespace IpRecords {

using Octets = std::array<int, 4>;

inline constexpr std::size_t kSocketFlag = ImageLayout::kPortRecord + 4;       // '0' off, '1' on
inline constexpr std::size_t kPortDigits = ImageLayout::kPortRecord + 6;       // five digits
inline constexpr std::size_t kPortWidth = 5;
inline constexpr std::size_t kDhcpFlag = ImageLayout::kClientIdRecord + 4;     // '0' off, '1' on
inline constexpr std::size_t kClientIdField = ImageLayout::kClientIdRecord + 6;
inline constexpr std::size_t kClientIdWidth = 32;                              // hex digits
inline constexpr int kMaxOctet = 255;
inline constexpr int kMaxPort = 65535;

// The four three-digit octets of an address record starting at `record` (ImageLayout offsets).
// Each octet is its digits' value, kept within 0-255 so that any address field can show it.
Octets ReadOctets(const SettingsImage &image, std::size_t record);
// Writes each octet as three digits with leading zeros ("010").
void WriteOctets(SettingsImage &image, std::size_t record, const Octets &octets);

// A one-character choice: its value is the character minus '0' (so an unknown character gives a
// value that selects no button), and writing puts back '0' + value.
int ReadChoice(const SettingsImage &image, std::size_t offset);
void WriteChoice(SettingsImage &image, std::size_t offset, int value);

// The port as the box shows it: the five digits' value without leading zeros ("09100" -> "9100");
// non-digits weigh their distance from '0', and a value below zero shows as "0".
std::string ReadPortText(const SettingsImage &image);
// At most the first five characters of the box, right-aligned with '0' fill ("80" -> "00080").
void WritePortText(SettingsImage &image, std::string_view boxText);

// The 32 characters of the client-ID field as they stand.
std::string ReadClientIdField(const SettingsImage &image);
// Writes exactly 32 characters; `field` must hold them.
void WriteClientIdField(SettingsImage &image, std::string_view field);

// The rule the port box applies to every change of its text: the text it must be replaced by, or
// nothing when it stays. Longer than five characters gives "65535"; while the box has the focus
// a value above 65535 gives "65535" as well.
std::optional<std::string> PortBoxReplacement(std::string_view text, bool hasFocus);

// One part of an address field: digits only, blank reads 0, above 255 reads 255.
int OctetFromText(std::string_view text);

}  // namespace IpRecords
