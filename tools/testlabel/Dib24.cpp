#include "Dib24.h"

#include <stdexcept>

namespace Dib24 {

namespace {

constexpr std::uint16_t kBitsPerPixel = 24;
constexpr std::uint32_t kUncompressed = 0;  // BI_RGB

void putLittleEndian(std::string &out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void put16(std::string &out, std::uint32_t value) { putLittleEndian(out, value, 2); }
void put32(std::string &out, std::uint32_t value) { putLittleEndian(out, value, 4); }

}  // namespace

std::size_t rowStride(int width)
{
    return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
}

std::string encode(int width, int height, std::span<const std::uint8_t> rgbTopDown)
{
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    if (width <= 0 || height <= 0 || rgbTopDown.size() != rowBytes * static_cast<std::size_t>(height))
        throw std::invalid_argument("pixel data doesn't match the picture size");

    const std::size_t stride = rowStride(width);
    const auto pixelBytes = static_cast<std::uint32_t>(stride * static_cast<std::size_t>(height));
    const auto pixelOffset = static_cast<std::uint32_t>(kFileHeaderSize + kInfoHeaderSize);

    std::string out;
    out.reserve(pixelOffset + pixelBytes);
    out += "BM";
    put32(out, pixelOffset + pixelBytes);  // file size
    put32(out, 0);                         // two reserved words
    put32(out, pixelOffset);

    put32(out, kInfoHeaderSize);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));  // positive: bottom-up
    put16(out, 1);                                   // planes
    put16(out, kBitsPerPixel);
    put32(out, kUncompressed);
    put32(out, pixelBytes);
    put32(out, 0);  // horizontal resolution
    put32(out, 0);  // vertical resolution
    put32(out, 0);  // colours used
    put32(out, 0);  // important colours

    for (int y = height - 1; y >= 0; --y) {
        const auto row = rgbTopDown.subspan(static_cast<std::size_t>(y) * rowBytes, rowBytes);
        for (std::size_t x = 0; x < rowBytes; x += 3) {
            out.push_back(static_cast<char>(row[x + 2]));
            out.push_back(static_cast<char>(row[x + 1]));
            out.push_back(static_cast<char>(row[x]));
        }
        out.append(stride - rowBytes, '\0');
    }
    return out;
}

}  // namespace Dib24
