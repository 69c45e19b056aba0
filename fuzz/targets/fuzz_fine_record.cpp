// The fine-adjustment page's fields fed a whole random image, written back unedited, and the edit
// rule of each of its fields.
#include "FieldFuzzing.h"
#include "settings/ImageLayout.h"

using namespace FuzzSupport;

namespace {

// Record positions 6-36.
bool ownedByFinePage(std::size_t offset)
{
    return offset >= ImageLayout::kFineRecord + 6 && offset <= ImageLayout::kFineRecord + 36;
}

SettingsImage roundTrip(const SettingsImage &image)
{
    return FieldFuzzing::roundTrip(image, Fields::PageId::Fine);
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
        FieldFuzzing::checkRules(bytes.substr(SettingsImage::kSize), image, Fields::PageId::Fine);
    return 0;
}
