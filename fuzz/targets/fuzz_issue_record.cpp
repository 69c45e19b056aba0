// The issue-control page's fields fed a whole random image, written back unedited, and any text
// chosen in its lists.
#include "FieldFuzzing.h"
#include "settings/ImageLayout.h"

using namespace FuzzSupport;

namespace {

constexpr std::size_t kStopModeOffset = ImageLayout::kIssueRecord + 6;

// Record positions 6, 8, ..., 18.
bool ownedByIssuePage(std::size_t offset)
{
    return offset >= kStopModeOffset && offset <= kStopModeOffset + 12 && (offset - kStopModeOffset) % 2 == 0;
}

SettingsImage roundTrip(const SettingsImage &image)
{
    return FieldFuzzing::roundTrip(image, Fields::PageId::Issue);
}

std::vector<const Fields::Field *> lists()
{
    std::vector<const Fields::Field *> found;
    for (const Fields::Field *field : Fields::ofPage(Fields::PageId::Issue)) {
        if (field->control.kind == "combo")
            found.push_back(field);
    }
    return found;
}

bool isListed(const Fields::Field &list, const SettingsImage &image)
{
    const std::optional<std::size_t> index = list.decode(image).choice;
    return index && *index < list.choices.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes = textOf(data, size);
    const SettingsImage image = imageFrom(bytes);

    for (const Fields::Field *list : lists())
        require(isListed(*list, image), "a code shows a text its list does not hold");

    const SettingsImage once = roundTrip(image);
    requireOnlyOwnedChanged(image, once, ownedByIssuePage, "the issue codec wrote a byte it does not own");
    require(roundTrip(once) == once, "a second round trip through the issue codec changed the image");

    // Any text from the outside writes one of the list's codes.
    if (bytes.size() > SettingsImage::kSize) {
        const std::string_view text = bytes.substr(SettingsImage::kSize);
        for (const Fields::Field *list : lists()) {
            SettingsImage written = once;
            list->encode({list->choiceCaptioned(text), {}}, written);
            require(isListed(*list, written), "a written text reads back as no item");
        }
        FieldFuzzing::checkRules(text, once, Fields::PageId::Issue);
    }
    return 0;
}
