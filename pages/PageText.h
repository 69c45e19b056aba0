#pragma once

#include "text/Cp932.h"

#include <QString>

#include <string>
#include <string_view>

// The pages' texts are the image's bytes (CP932); their widgets hold Unicode. Lengths, "the first
// N characters" and the number reader all work on the bytes.
namespace PageText {

inline QString shown(std::string_view bytes)
{
    return QString::fromStdString(Cp932::ToShown(bytes));
}

inline std::string bytes(const QString &text)
{
    return Cp932::FromShownLossy(text.toStdString());
}

}  // namespace PageText
