#pragma once

#include "settings/SettingsImage.h"

#include <QByteArray>
#include <QList>
#include <QPair>

// A factory image with bytes written at image offsets, for table rows.
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
