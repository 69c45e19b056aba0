#pragma once

#include <cstdint>
#include <span>
#include <string>

// A 24-bit uncompressed bitmap file: the 14-byte file header, a 40-byte info header with a
// positive height (rows bottom-up), no colour table and the resolution fields left at 0, then
// the rows in blue-green-red order, each padded to a multiple of four bytes.
namespace Dib24 {

inline constexpr std::size_t kFileHeaderSize = 14;
inline constexpr std::size_t kInfoHeaderSize = 40;

std::size_t rowStride(int width);

// `rgbTopDown` holds width * 3 bytes per row (red, green, blue), top row first.
// Throws std::invalid_argument when its size doesn't match.
std::string encode(int width, int height, std::span<const std::uint8_t> rgbTopDown);

}  // namespace Dib24
