#include "KeptText.h"

#include <algorithm>

namespace {

bool holdsHighByte(std::string_view bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace

KeptText::KeptText(std::string_view imageBytes, std::string_view shown)
    : m_shown(shown)
{
    if (holdsHighByte(imageBytes))
        m_bytes = std::string(imageBytes);
}

std::optional<std::string> KeptText::bytesFor(std::string_view shown) const
{
    if (m_bytes && shown == m_shown)
        return m_bytes;
    return std::nullopt;
}
