// The fine-adjustment record decoder fed a whole random image, its encoder and the edit rule of
// each of the ten fields.
#include "FineFieldFilter.h"
#include "FineRecord.h"
#include "FuzzSupport.h"
#include "ImageLayout.h"

using namespace FuzzSupport;

namespace {

// Record positions 6-36.
bool ownedByFinePage(std::size_t offset)
{
    return offset >= ImageLayout::kFineRecord + 6 && offset <= ImageLayout::kFineRecord + 36;
}

SettingsImage roundTrip(const SettingsImage &image)
{
    SettingsImage stored = image;
    FineRecord::Encode(FineRecord::Decode(image), stored);
    return stored;
}

void checkEditRules(std::string_view text)
{
    for (const FineField &field : FineFields::kRows) {
        for (const bool focus : {false, true}) {
            const auto replaced = FilterFineText(text, focus, field.longestText, field.upperText, field.lowerText);
            if (replaced)
                require(!FilterFineText(*replaced, focus, field.longestText, field.upperText, field.lowerText),
                        "a fine field's edit rule replaces its own text again");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes = textOf(data, size);
    const SettingsImage image = imageFrom(bytes);

    const SettingsImage once = roundTrip(image);
    requireOnlyOwnedChanged(image, once, ownedByFinePage, "the fine codec wrote a byte it does not own");
    require(roundTrip(once) == once, "a second round trip through the fine codec changed the image");

    if (bytes.size() > SettingsImage::kSize)
        checkEditRules(bytes.substr(SettingsImage::kSize));
    return 0;
}
