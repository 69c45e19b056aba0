// The parameter page's fields fed a whole random image, written back unedited, the send check and
// the rules of the page's controls.
#include "FieldFuzzing.h"
#include "fields/ParamRecord.h"
#include "res/Strings.h"

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
    return FieldFuzzing::roundTrip(image, Fields::PageId::Param);
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

void checkEditRule(std::string_view text, const SettingsImage &image)
{
    FieldFuzzing::checkRules(text, image, Fields::PageId::Param);
    SettingsImage stored = image;
    Fields::named("param.forward_standby_adjustment").encode({std::nullopt, std::string(text)}, stored);
    require((stored[15] == '+' || stored[15] == '-') && isDigit(stored[16]) && isDigit(stored[17]),
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

    if (const ParamRecord::Validation check = ParamRecord::ValidateImage(image); !check.valid())
        require(check.message == Str::kBadForwardStandby, "the send check gave another message");

    if (bytes.size() > SettingsImage::kSize)
        checkEditRule(bytes.substr(SettingsImage::kSize), image);
    return 0;
}
