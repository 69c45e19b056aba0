#include "fields/DecimalRule.h"

#include "fields/DecimalText.h"

using DecimalText::leadingDecimal;

std::optional<std::string> DecimalRule::apply(std::string_view bytes, bool hasFocus) const
{
    const std::string_view read = bytes.substr(0, charactersRead);
    const double x = leadingDecimal(read);

    std::optional<std::string> replacement;
    if (read.size() > longestText) {
        replacement = std::string(x < 0 ? lowerText : upperText);
        if (lengthRuleSettles)
            return replacement;
    }
    if (!hasFocus)
        return replacement;
    if (x < leadingDecimal(lowerText))
        return std::string(lowerText);
    if (x > leadingDecimal(upperText))
        return std::string(upperText);
    if ((x > 0 && x < smallestStep) || (x < 0 && x > -smallestStep))
        return std::string("0.0");
    return replacement;
}
