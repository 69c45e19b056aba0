#pragma once

#include <string>
#include <string_view>

// Reading and writing the short decimal texts that the pages' edit fields hold. Independent of
// the process locale: the point is always ".".
namespace DecimalText {

// The decimal number at the start of `text`, read the way strtod reads it: leading blanks,
// an optional sign, digits with an optional point and fraction, an optional exponent.
// 0 when no number starts the text. Hexadecimal, "inf" and "nan" are not numbers here.
double leadingDecimal(std::string_view text);

// True when a decimal number, as leadingDecimal reads it, starts `text`.
bool startsWithNumber(std::string_view text);

// The whole number at the start of `text` (leading blanks, optional sign, digits), saturated to
// the range of long; 0 when no number starts the text.
long leadingInteger(std::string_view text);

// `value` in tenths, rounded to the nearest tenth with halves away from zero (1.25 -> 13,
// -1.25 -> -13). Saturates far outside the range of long; NaN gives 0.
long roundTenthsAwayFromZero(double value);

// `value` with one decimal, as "%0.1f" writes it ("1.5", "-5.0", "0.0").
std::string formatOneDecimal(double value);

}  // namespace DecimalText
