#include "FineFieldFilter.h"

#include "DecimalText.h"

using namespace DecimalText;

namespace {

constexpr std::size_t kCharactersRead = 9;
constexpr double kSmallestStep = 0.1;

std::optional<std::string> rangeReplacement(double x, std::string_view upperText,
                                            std::string_view lowerText)
{
    if (x < leadingDecimal(lowerText))
        return std::string(lowerText);
    if (x > leadingDecimal(upperText))
        return std::string(upperText);
    if ((x > 0 && x < kSmallestStep) || (x < 0 && x > -kSmallestStep))
        return std::string("0.0");
    return std::nullopt;
}

}  // namespace

std::optional<std::string> FilterFineText(std::string_view text, bool hasFocus,
                                          std::size_t longestText, std::string_view upperText,
                                          std::string_view lowerText)
{
    const std::string_view read = text.substr(0, kCharactersRead);
    const double x = leadingDecimal(read);
    if (read.size() > longestText)
        return std::string(x < 0 ? lowerText : upperText);
    if (!hasFocus)
        return std::nullopt;
    return rangeReplacement(x, upperText, lowerText);
}
