// The parameter record decoder fed a whole random image, its encoder, the send check and the
// adjustment field's edit rule.
#include "FuzzSupport.h"
#include "ParamRecord.h"
#include "Strings.h"

using namespace FuzzSupport;

namespace {

// Record positions 14-17, 28, 32, 33, 35, 36, 39-42 and 46; the record starts at offset 0.
bool ownedByParameterPage(std::size_t offset)
{
    switch (offset) {
    case 14: case 15: case 16: case 17: case 28: case 32: case 33: case 35: case 36:
    case 39: case 40: case 41: case 42: case 46:
        return true;
    default:
        return false;
    }
}

SettingsImage roundTrip(const SettingsImage &image)
{
    SettingsImage stored = image;
    ParamRecord::encode(ParamRecord::decode(image), stored);
    return stored;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

void checkEditRule(std::string_view text)
{
    for (const bool focus : {false, true}) {
        const auto replaced = ParamRecord::filterAdjustment(text, focus);
        if (replaced)
            require(!ParamRecord::filterAdjustment(*replaced, focus), "the edit rule's own text is replaced again");
    }
    const auto stored = ParamRecord::encodeAdjustment(text);
    require((stored[0] == '+' || stored[0] == '-') && isDigit(stored[1]) && isDigit(stored[2]),
            "the adjustment is stored as something other than sign, digit, digit");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes = textOf(data, size);
    const SettingsImage image = imageFrom(bytes);

    const SettingsImage once = roundTrip(image);
    requireOnlyOwnedChanged(image, once, ownedByParameterPage, "the parameter codec wrote a byte it does not own");
    require(roundTrip(once) == once, "a second round trip through the parameter codec changed the image");

    std::string message;
    if (!ParamRecord::ValidateImage(image, message))
        require(message == Str::kBadForwardStandby, "the send check gave another message");

    if (bytes.size() > SettingsImage::kSize)
        checkEditRule(bytes.substr(SettingsImage::kSize));
    return 0;
}
