#pragma once

#include "settings/ImageLayout.h"

#include <array>
#include <cstddef>
#include <string_view>

// The 260 bytes that hold every printer setting the program edits: nine ESC-prefixed command
// records, each followed by a NUL, and the client-ID input-type byte. Compared byte for byte.
class SettingsImage
{
public:
    static constexpr std::size_t kSize = ImageLayout::kImageSize;
    using Bytes = std::array<char, kSize>;

    SettingsImage() = default;  // all NUL; callers start from factory() or a file
    explicit SettingsImage(const Bytes &bytes) : m_bytes(bytes) {}

    static const SettingsImage &factory();

    char operator[](std::size_t offset) const { return m_bytes.at(offset); }
    char &operator[](std::size_t offset) { return m_bytes.at(offset); }

    const char *data() const { return m_bytes.data(); }
    char *data() { return m_bytes.data(); }
    static constexpr std::size_t size() { return kSize; }
    const Bytes &bytes() const { return m_bytes; }

    // `length` bytes from `offset`, as they stand.
    std::string_view slice(std::size_t offset, std::size_t length) const;

    bool operator==(const SettingsImage &) const = default;

private:
    Bytes m_bytes{};
};
