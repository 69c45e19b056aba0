// The issue-control record decoder fed a whole random image, and its encoder.
#include "FuzzSupport.h"
#include "IssueRecord.h"

using namespace FuzzSupport;

namespace {

// Record positions 6, 8, ..., 18.
bool ownedByIssuePage(std::size_t offset)
{
    return offset >= IssueRecord::kStopModeOffset && offset <= IssueRecord::kStopModeOffset + 12
        && (offset - IssueRecord::kStopModeOffset) % 2 == 0;
}

SettingsImage roundTrip(const SettingsImage &image)
{
    SettingsImage stored = image;
    IssueRecord::WriteStopMode(stored, IssueRecord::ReadStopMode(image));
    for (const IssueRecord::Combo combo : IssueRecord::kCombos)
        IssueRecord::WriteText(stored, combo, IssueRecord::ReadText(image, combo));
    return stored;
}

bool isListed(IssueRecord::Combo combo, std::string_view text)
{
    for (const IssueRecord::Item &item : IssueRecord::ListItems(combo)) {
        if (item.text == text)
            return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes = textOf(data, size);
    const SettingsImage image = imageFrom(bytes);

    for (const IssueRecord::Combo combo : IssueRecord::kCombos)
        require(isListed(combo, IssueRecord::ReadText(image, combo)), "a code shows a text its list does not hold");

    const SettingsImage once = roundTrip(image);
    requireOnlyOwnedChanged(image, once, ownedByIssuePage, "the issue codec wrote a byte it does not own");
    require(roundTrip(once) == once, "a second round trip through the issue codec changed the image");

    // Any text from the outside writes one of the list's codes.
    if (bytes.size() > SettingsImage::kSize) {
        const std::string_view text = bytes.substr(SettingsImage::kSize);
        for (const IssueRecord::Combo combo : IssueRecord::kCombos) {
            SettingsImage written = once;
            IssueRecord::WriteText(written, combo, text);
            require(isListed(combo, IssueRecord::ReadText(written, combo)), "a written text reads back as no item");
        }
    }
    return 0;
}
