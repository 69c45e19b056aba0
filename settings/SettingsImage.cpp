#include "settings/SettingsImage.h"

#include <stdexcept>
#include <string_view>

namespace {

using namespace std::string_view_literals;

// The factory settings: nine records, each followed by its NUL, then the input-type byte.
constexpr std::string_view kFactoryText =
    "\x1bZ2;1,002101250+00000000000100B0000000000000000\n\0"sv
    "\x1bZ2;2,+000+000+00+000+00+00-00-001014\n\0"sv
    "\x1bIP;2,192,168,010,020\n\0"sv
    "\x1bIP;3,000,000,000,000\n\0"sv
    "\x1bIP;4,255,255,255,000\n\0"sv
    "\x1bIS;1,09100\n\0"sv
    "\x1bIH;0,FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF\n\0"sv
    "\x1bZ2;3,0,C,C,C,C,C,1\n\0"sv
    "\x1bZ2;3,00000030054000520+00\n\0"sv
    "0"sv;

static_assert(kFactoryText.size() == SettingsImage::kSize);

SettingsImage makeFactory()
{
    SettingsImage::Bytes bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = kFactoryText[i];
    return SettingsImage(bytes);
}

}  // namespace

const SettingsImage &SettingsImage::factory()
{
    static const SettingsImage image = makeFactory();
    return image;
}

std::string_view SettingsImage::slice(std::size_t offset, std::size_t length) const
{
    if (offset > kSize || length > kSize - offset)
        throw std::out_of_range("SettingsImage::slice");
    return std::string_view(m_bytes.data() + offset, length);
}
