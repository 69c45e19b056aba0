#include "IpRecords.h"

#include <algorithm>

namespace IpRecords {
namespace {

constexpr std::size_t kOctetPositions[] = {6, 10, 14, 18};
constexpr std::size_t kOctetWidth = 3;

int digitValue(char c)
{
    return c - '0';
}

char digitChar(int value)
{
    return static_cast<char>('0' + value);
}

// The characters at `offset` read as decimal digits, each weighted by its place.
int readDigits(const SettingsImage &image, std::size_t offset, std::size_t width)
{
    int value = 0;
    for (std::size_t i = 0; i < width; ++i)
        value = value * 10 + digitValue(image[offset + i]);
    return value;
}

void writeDigits(SettingsImage &image, std::size_t offset, std::size_t width, int value)
{
    for (std::size_t i = width; i-- > 0;) {
        image[offset + i] = digitChar(value % 10);
        value /= 10;
    }
}

// The value of the digits that start `text`; saturates at `ceiling` + 1 so long texts can't
// overflow.
int leadingDigitsValue(std::string_view text, int ceiling)
{
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        value = std::min(value * 10 + digitValue(c), ceiling + 1);
    }
    return value;
}

}  // namespace

Octets ReadOctets(const SettingsImage &image, std::size_t record)
{
    Octets octets{};
    for (std::size_t part = 0; part < octets.size(); ++part) {
        const int value = readDigits(image, record + kOctetPositions[part], kOctetWidth);
        octets[part] = std::clamp(value, 0, kMaxOctet);
    }
    return octets;
}

void WriteOctets(SettingsImage &image, std::size_t record, const Octets &octets)
{
    for (std::size_t part = 0; part < octets.size(); ++part) {
        const int value = std::clamp(octets[part], 0, kMaxOctet);
        writeDigits(image, record + kOctetPositions[part], kOctetWidth, value);
    }
}

int ReadChoice(const SettingsImage &image, std::size_t offset)
{
    return digitValue(image[offset]);
}

void WriteChoice(SettingsImage &image, std::size_t offset, int value)
{
    image[offset] = digitChar(value);
}

std::string ReadPortText(const SettingsImage &image)
{
    // A damaged record can weigh its characters below zero ("000-1" reads -1). Shown as "-1" and
    // stored back as "000-1" it would read -29 next time and drift on every collect; like the
    // port box, a value below zero shows as 0.
    return std::to_string(std::max(readDigits(image, kPortDigits, kPortWidth), 0));
}

void WritePortText(SettingsImage &image, std::string_view boxText)
{
    const std::string_view taken = boxText.substr(0, kPortWidth);
    const std::size_t fill = kPortWidth - taken.size();
    for (std::size_t i = 0; i < fill; ++i)
        image[kPortDigits + i] = '0';
    for (std::size_t i = 0; i < taken.size(); ++i)
        image[kPortDigits + fill + i] = taken[i];
}

std::string ReadClientIdField(const SettingsImage &image)
{
    return std::string(image.slice(kClientIdField, kClientIdWidth));
}

void WriteClientIdField(SettingsImage &image, std::string_view field)
{
    for (std::size_t i = 0; i < kClientIdWidth; ++i)
        image[kClientIdField + i] = field.at(i);
}

std::optional<std::string> PortBoxReplacement(std::string_view text, bool hasFocus)
{
    const std::string maxPort = std::to_string(kMaxPort);
    if (text.size() > kPortWidth)
        return maxPort;
    if (hasFocus && leadingDigitsValue(text, kMaxPort) > kMaxPort)
        return maxPort;
    return std::nullopt;
}

int OctetFromText(std::string_view text)
{
    return std::min(leadingDigitsValue(text, kMaxOctet), kMaxOctet);
}

}  // namespace IpRecords
