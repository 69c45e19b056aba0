#pragma once

#include <cstddef>
#include <string>

// A picture as plain pixels: `height` rows from the top, each `width` pixels of three bytes
// (red, green, blue), no padding.
struct RgbImage
{
    static constexpr std::size_t kBytesPerPixel = 3;

    int width = 0;
    int height = 0;
    std::string pixels;

    std::size_t rowBytes() const { return static_cast<std::size_t>(width) * kBytesPerPixel; }
    bool isValid() const
    {
        return width > 0 && height > 0 && pixels.size() == rowBytes() * static_cast<std::size_t>(height);
    }
};
