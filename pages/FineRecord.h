#pragma once

#include "FineFields.h"
#include "SettingsImage.h"

#include <array>
#include <string>
#include <string_view>

// The texts the fine-adjustment page shows for its ten rows: the direction list's item (empty
// for rows without a direction) and the edit's text.
struct FineRowText
{
    std::string direction;
    std::string value;

    bool operator==(const FineRowText &) const = default;
};

using FineTexts = std::array<FineRowText, FineFields::kCount>;

// Codec of positions 6-36 of the fine-adjustment record, one row of FineFields::kRows at a time.
namespace FineRecord {

// Reads the record in `image` into the texts to show; non-digits are read as far as they form a
// number (thresholds show their two characters as they stand).
FineTexts Decode(const SettingsImage &image);

// Writes the texts back into positions 6-36 of the record in `image`, in canonical digits; no
// other byte of the image changes.
void Encode(const FineTexts &texts, SettingsImage &image);

// The bytes that hold a row's value as they stand: the sign of a row without a direction list,
// then the digits. PutValueBytes writes such bytes back unchanged.
std::string ValueBytes(const SettingsImage &image, std::size_t row);
void PutValueBytes(SettingsImage &image, std::size_t row, std::string_view bytes);

}  // namespace FineRecord
