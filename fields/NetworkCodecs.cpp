#include "fields/NetworkCodecs.h"

#include "fields/ClientIdText.h"
#include "text/Cp932.h"

#include <algorithm>

namespace Fields {
namespace {

constexpr int kMaxPort = 65535;
constexpr std::size_t kPortWidth = 5;

int digitValue(char c)
{
    return c - '0';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view text)
{
    return std::ranges::all_of(text, isDigit);
}

// The characters of `span` read as decimal digits, each weighted by its place.
int readDigits(const SettingsImage &image, const ImageSpan &span)
{
    int value = 0;
    for (std::size_t i = 0; i < span.length; ++i)
        value = value * 10 + digitValue(image[span.offset + i]);
    return value;
}

void writeDigits(SettingsImage &image, const ImageSpan &span, int value)
{
    for (std::size_t i = span.length; i-- > 0;) {
        image[span.offset + i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

// The value of the digits that start `text`; saturates at `ceiling` + 1 so long texts can't
// overflow.
int leadingDigitsValue(std::string_view text, int ceiling)
{
    int value = 0;
    for (char c : text) {
        if (!isDigit(c))
            break;
        value = std::min(value * 10 + digitValue(c), ceiling + 1);
    }
    return value;
}

std::vector<std::string_view> partsOf(std::string_view text)
{
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t dot = text.find('.', start);
        parts.push_back(text.substr(start, dot - start));
        if (dot == std::string_view::npos)
            return parts;
        start = dot + 1;
    }
}

bool holdsHighByte(std::string_view bytes)
{
    return std::ranges::any_of(bytes, [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace

int octetFromText(std::string_view part)
{
    return std::min(leadingDigitsValue(part, kMaxOctet), kMaxOctet);
}

std::string addressText(const Octets &octets)
{
    std::string text;
    for (const int octet : octets)
        text += (text.empty() ? "" : ".") + std::to_string(octet);
    return text;
}

Octets addressOctets(std::string_view text)
{
    Octets octets{};
    const std::vector<std::string_view> parts = partsOf(text);
    for (std::size_t i = 0; i < octets.size() && i < parts.size(); ++i)
        octets[i] = octetFromText(parts[i]);
    return octets;
}

FieldValue AddressCodec::decode(const Field &field, const SettingsImage &image) const
{
    Octets octets{};
    for (std::size_t part = 0; part < octets.size(); ++part)
        octets[part] = std::clamp(readDigits(image, field.owned.at(part)), 0, kMaxOctet);
    return {std::nullopt, addressText(octets)};
}

void AddressCodec::encode(const Field &field, const FieldValue &value, SettingsImage &image) const
{
    const Octets octets = addressOctets(value.text);
    for (std::size_t part = 0; part < octets.size(); ++part)
        writeDigits(image, field.owned.at(part), octets[part]);
}

Accepted AddressCodec::accept(const Field &, std::string_view typed, const SettingsImage &) const
{
    const std::vector<std::string_view> parts = partsOf(typed);
    const bool wellFormed = parts.size() == 4 && std::ranges::all_of(parts, [](std::string_view part) {
        return !part.empty() && part.size() <= 3 && allDigits(part);
    });
    if (!wellFormed)
        return {std::nullopt, "not an address of four parts, 0 to 255 each"};
    for (const std::string_view part : parts) {
        if (leadingDigitsValue(part, kMaxOctet) > kMaxOctet)
            return {std::nullopt, "a part is above 255"};
    }
    return {FieldValue{std::nullopt, addressText(addressOctets(typed))}, {}};
}

FieldValue PortCodec::decode(const Field &field, const SettingsImage &image) const
{
    // A damaged record can weigh its characters below zero ("000-1" reads -1). Shown as "-1" and
    // stored back as "000-1" it would read -29 next time and drift on every collect; like the
    // port box, a value below zero shows as 0.
    return {std::nullopt, std::to_string(std::max(readDigits(image, field.owned.front()), 0))};
}

void PortCodec::encode(const Field &field, const FieldValue &value, SettingsImage &image) const
{
    const std::string bytes = Cp932::FromShownLossy(value.text);
    const std::string_view taken = std::string_view(bytes).substr(0, kPortWidth);
    const std::size_t first = field.owned.front().offset;
    const std::size_t fill = kPortWidth - taken.size();
    for (std::size_t i = 0; i < fill; ++i)
        image[first + i] = '0';
    for (std::size_t i = 0; i < taken.size(); ++i)
        image[first + fill + i] = taken[i];
}

std::optional<std::string> PortCodec::filter(std::string_view text, bool hasFocus) const
{
    const std::string bytes = Cp932::FromShownLossy(text);
    const std::string maxPort = std::to_string(kMaxPort);
    if (bytes.size() > kPortWidth)
        return maxPort;
    if (hasFocus && leadingDigitsValue(bytes, kMaxPort) > kMaxPort)
        return maxPort;
    return std::nullopt;
}

Accepted PortCodec::accept(const Field &, std::string_view typed, const SettingsImage &) const
{
    if (typed.empty() || !allDigits(typed))
        return {std::nullopt, "not a port number"};
    return {FieldValue{std::nullopt, filter(typed, true).value_or(std::string(typed))}, {}};
}

bool PortCodec::keeps(const Loaded &loaded, const SettingsImage &) const
{
    return holdsHighByte(loaded.bytes);
}

bool ClientIdCodec::holdsHex(const Field &field, const SettingsImage &image)
{
    return image[field.reads.front().offset] != '0';
}

FieldValue ClientIdCodec::decode(const Field &field, const SettingsImage &image) const
{
    const std::string_view stored = image.slice(field.owned.front().offset, field.owned.front().length);
    return {std::nullopt, Cp932::ToShown(ClientIdText::shownFromField(stored, holdsHex(field, image)))};
}

void ClientIdCodec::encode(const Field &field, const FieldValue &value, SettingsImage &image) const
{
    const std::string stored = ClientIdText::fieldFromBox(Cp932::FromShownLossy(value.text), holdsHex(field, image));
    field.putOwnedBytes(stored, image);
}

Accepted ClientIdCodec::accept(const Field &field, std::string_view typed, const SettingsImage &image) const
{
    if (holdsHex(field, image)) {
        if (!ClientIdText::isHexDigits(typed))
            return {std::nullopt, "not hex digits (the input type is HEX)"};
        if (typed.size() > ClientIdText::kHexBoxDigits)
            return {std::nullopt, "longer than 32 hex digits"};
    } else {
        const std::optional<std::string> bytes = Cp932::FromShown(typed);
        if (!bytes)
            return {std::nullopt, "holds a character that code page 932 can't write"};
        if (bytes->size() > ClientIdText::kAsciiBoxBytes)
            return {std::nullopt, "longer than 16 bytes (the input type is ASCII)"};
    }
    return {FieldValue{std::nullopt, std::string(typed)}, {}};
}

// The input-type byte read with the field is the last of the loaded bytes.
bool ClientIdCodec::keeps(const Loaded &loaded, const SettingsImage &image) const
{
    constexpr std::size_t kFieldWidth = ClientIdText::kFieldWidth;
    if (loaded.bytes.size() != kFieldWidth + 1)
        return false;
    const bool loadedHex = loaded.bytes.back() != '0';
    return loadedHex == (image[ImageLayout::kInputTypeByte] != '0');
}

}  // namespace Fields
