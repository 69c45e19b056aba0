#include "spooler/PngEncoder.h"

#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <string_view>

namespace PngEncoder {
namespace {

constexpr std::string_view kSignature{"\x89PNG\r\n\x1a\n", 8};
constexpr char kNoFilter = 0;
constexpr std::uint8_t kBitDepth = 8;
constexpr std::uint8_t kColourTypeRgb = 2;
constexpr std::uint8_t kUnitMetre = 1;
constexpr double kMetresPerInch = 0.0254;

void appendUint32(std::string &out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void appendChunk(std::string &out, std::string_view type, std::string_view data)
{
    appendUint32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.append(type);
    out.append(data);
    const auto *checked = reinterpret_cast<const Bytef *>(out.data() + typeAt);
    appendUint32(out, static_cast<std::uint32_t>(crc32(0, checked, static_cast<uInt>(type.size() + data.size()))));
}

std::string header(const RgbImage &image)
{
    std::string data;
    appendUint32(data, static_cast<std::uint32_t>(image.width));
    appendUint32(data, static_cast<std::uint32_t>(image.height));
    data.push_back(static_cast<char>(kBitDepth));
    data.push_back(static_cast<char>(kColourTypeRgb));
    data.append(3, '\0');  // deflate compression, adaptive filtering, no interlace
    return data;
}

std::uint32_t dotsPerMetre(int dotsPerInch)
{
    return static_cast<std::uint32_t>(std::lround(dotsPerInch / kMetresPerInch));
}

std::string physicalSize(DotsPerInch resolution)
{
    std::string data;
    appendUint32(data, dotsPerMetre(resolution.x));
    appendUint32(data, dotsPerMetre(resolution.y));
    data.push_back(static_cast<char>(kUnitMetre));
    return data;
}

// Every row behind its filter-type byte, compressed as one zlib stream.
std::string compressedRows(const RgbImage &image)
{
    std::string rows;
    rows.reserve((image.rowBytes() + 1) * static_cast<std::size_t>(image.height));
    for (std::size_t offset = 0; offset < image.pixels.size(); offset += image.rowBytes()) {
        rows.push_back(kNoFilter);
        rows.append(image.pixels, offset, image.rowBytes());
    }
    uLongf size = compressBound(static_cast<uLong>(rows.size()));
    std::string compressed(size, '\0');
    if (compress2(reinterpret_cast<Bytef *>(compressed.data()), &size, reinterpret_cast<const Bytef *>(rows.data()),
                  static_cast<uLong>(rows.size()), Z_BEST_COMPRESSION)
        != Z_OK)
        return {};
    compressed.resize(size);
    return compressed;
}

}  // namespace

std::string encode(const RgbImage &image, DotsPerInch resolution)
{
    if (!image.isValid())
        return {};
    const std::string data = compressedRows(image);
    if (data.empty())
        return {};

    std::string png(kSignature);
    appendChunk(png, "IHDR", header(image));
    if (resolution.isKnown())
        appendChunk(png, "pHYs", physicalSize(resolution));
    appendChunk(png, "IDAT", data);
    appendChunk(png, "IEND", {});
    return png;
}

}  // namespace PngEncoder
