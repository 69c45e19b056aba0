#include "Code128.h"

#include <array>
#include <stdexcept>

namespace Code128 {

namespace {

// Bar and space widths in modules for the symbol values 0 to 105, then the stop pattern.
constexpr std::array<const char *, 107> kSymbols{
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",
    "114131", "311141", "411131", "211412", "211214", "211232", "2331112",
};

constexpr int kStartC = 105;
constexpr int kStop = 106;
constexpr int kCheckModulus = 103;

void append(BarPattern &pattern, int symbol, int modulePx)
{
    for (const char *width = kSymbols.at(static_cast<std::size_t>(symbol)); *width != '\0'; ++width)
        pattern.push_back((*width - '0') * modulePx);
}

int digitValue(char digit)
{
    if (digit < '0' || digit > '9')
        throw std::invalid_argument("code set C takes digits only");
    return digit - '0';
}

}  // namespace

BarPattern encodeDigits(std::string_view digits, int modulePx)
{
    if (digits.empty() || digits.size() % 2 != 0)
        throw std::invalid_argument("code set C takes an even number of digits");

    BarPattern pattern;
    append(pattern, kStartC, modulePx);
    int checkSum = kStartC;
    int position = 1;
    for (std::size_t i = 0; i < digits.size(); i += 2, ++position) {
        const int value = digitValue(digits[i]) * 10 + digitValue(digits[i + 1]);
        append(pattern, value, modulePx);
        checkSum += value * position;
    }
    append(pattern, checkSum % kCheckModulus, modulePx);
    append(pattern, kStop, modulePx);
    return pattern;
}

}  // namespace Code128
