#pragma once

#include "settings/SettingsImage.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// What the fuzz targets share: turning input bytes into an image or a text, and stopping the run
// with a readable reason when a property fails (libFuzzer then keeps the input as a crash).
namespace FuzzSupport {

inline std::string_view textOf(const std::uint8_t *data, std::size_t size)
{
    return {reinterpret_cast<const char *>(data), size};
}

// The input's first 260 bytes as an image; a shorter input overwrites the factory image's start.
inline SettingsImage imageFrom(std::string_view bytes)
{
    SettingsImage image = SettingsImage::factory();
    for (std::size_t i = 0; i < bytes.size() && i < SettingsImage::kSize; ++i)
        image[i] = bytes[i];
    return image;
}

[[noreturn]] inline void fail(const char *what, std::size_t offset = SIZE_MAX)
{
    if (offset == SIZE_MAX)
        std::fprintf(stderr, "property failed: %s\n", what);
    else
        std::fprintf(stderr, "property failed: %s (image offset %zu)\n", what, offset);
    std::abort();
}

inline void require(bool holds, const char *what)
{
    if (!holds)
        fail(what);
}

// Every byte that `owned` does not claim is the same in both images.
template <typename Owned>
void requireOnlyOwnedChanged(const SettingsImage &before, const SettingsImage &after, Owned owned, const char *what)
{
    for (std::size_t i = 0; i < SettingsImage::kSize; ++i) {
        if (before[i] != after[i] && !owned(i))
            fail(what, i);
    }
}

}  // namespace FuzzSupport
