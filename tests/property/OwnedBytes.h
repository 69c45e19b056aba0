#pragma once

#include "settings/SettingsImage.h"

#include <array>
#include <cstddef>

// The image offsets that some page owns, as the settings image's ownership table gives them,
// written out independently of the pages' own constants. Every other byte must survive the pages.
namespace OwnedBytes {

inline std::array<bool, SettingsImage::kSize> table()
{
    std::array<bool, SettingsImage::kSize> owned{};
    const auto claim = [&owned](std::size_t first, std::size_t last) {
        for (std::size_t i = first; i <= last; ++i)
            owned[i] = true;
    };
    for (const std::size_t position : {14, 15, 16, 17, 28, 32, 33, 35, 36, 39, 40, 41, 42, 46})
        claim(position, position);  // parameter page
    claim(55, 85);                  // fine adjustments
    for (const std::size_t record : {88, 111, 134}) {  // addresses: four octets each
        for (const std::size_t octet : {6, 10, 14, 18})
            claim(record + octet, record + octet + 2);
    }
    claim(161, 161);  // socket on/off
    claim(163, 167);  // port
    claim(174, 174);  // DHCP on/off
    claim(176, 207);  // client ID
    for (const std::size_t position : {216, 218, 220, 222, 224, 226, 228})
        claim(position, position);  // issue control
    claim(259, 259);                // input type
    return owned;
}

inline bool isOwned(std::size_t offset)
{
    static const std::array<bool, SettingsImage::kSize> owned = table();
    return offset < owned.size() && owned[offset];
}

}  // namespace OwnedBytes
