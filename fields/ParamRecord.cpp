#include "fields/ParamRecord.h"

#include "res/Strings.h"
#include "settings/ImageLayout.h"

namespace ParamRecord {
namespace {

// Forward-standby adjustment: sign, whole millimetres, tenths.
constexpr std::size_t kAdjustmentSign = ImageLayout::kParamRecord + 15;

bool isDigitIn(char c, char low, char high)
{
    return c >= low && c <= high;
}

}  // namespace

Validation ValidateImage(const SettingsImage &image)
{
    const char sign = image[kAdjustmentSign];
    const char whole = image[kAdjustmentSign + 1];
    const char tenths = image[kAdjustmentSign + 2];
    const bool valid = (sign == '+' || sign == '-') && isDigitIn(whole, '0', '5')
                       && (tenths == '0' || tenths == '5') && !(whole == '5' && tenths != '0');
    if (!valid)
        return {Str::kBadForwardStandby};
    return {};
}

}  // namespace ParamRecord
