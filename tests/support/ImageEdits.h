#pragma once

#include "settings/SettingsImage.h"

#include <QByteArray>
#include <QList>
#include <QPair>

#include <cstddef>
#include <string_view>

// Settings images for table rows: the factory image with bytes written at image offsets, and
// one that no field would read as a value.
using Edits = QList<QPair<int, QByteArray>>;  // image offset, bytes written there

inline SettingsImage factoryWith(const Edits &edits)
{
    SettingsImage image = SettingsImage::factory();
    for (const auto &[offset, bytes] : edits) {
        for (qsizetype i = 0; i < bytes.size(); ++i)
            image[static_cast<std::size_t>(offset + i)] = bytes[i];
    }
    return image;
}

// The factory image with `bytes` written from image offset `offset`.
inline SettingsImage factoryWith(std::size_t offset, std::string_view bytes)
{
    SettingsImage image = SettingsImage::factory();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        image[offset + i] = bytes[i];
    return image;
}

// Every byte differs from its neighbours and none is a digit, sign or NUL.
inline SettingsImage patternedImage()
{
    SettingsImage image;
    for (std::size_t i = 0; i < SettingsImage::size(); ++i)
        image[i] = static_cast<char>(0x80 + (i * 37) % 0x7f);
    return image;
}
