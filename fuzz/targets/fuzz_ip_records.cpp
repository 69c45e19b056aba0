// The network records fed a whole random image: what the IP address page reads from the image
// and writes back (octets, choices, port, client ID), and the port box rule.
#include "ClientIdText.h"
#include "FuzzSupport.h"
#include "IpRecords.h"

#include <optional>

using namespace FuzzSupport;

namespace {

constexpr std::size_t kAddressRecords[] = {ImageLayout::kIpRecord, ImageLayout::kGatewayRecord,
                                           ImageLayout::kSubnetRecord};

bool inOctet(std::size_t offset, std::size_t record)
{
    if (offset < record + 6 || offset > record + 20)
        return false;
    return (offset - record - 6) % 4 != 3;  // the separators at positions 9, 13, 17
}

bool ownedByIpPage(std::size_t offset)
{
    for (const std::size_t record : kAddressRecords) {
        if (inOctet(offset, record))
            return true;
    }
    return offset == IpRecords::kSocketFlag || (offset >= IpRecords::kPortDigits && offset < IpRecords::kPortDigits + 5)
        || offset == IpRecords::kDhcpFlag
        || (offset >= IpRecords::kClientIdField && offset < IpRecords::kClientIdField + 32)
        || offset == ImageLayout::kInputTypeByte;
}

// What the page holds between LoadFromImage and StoreToImage, left unedited.
struct Shown
{
    std::array<IpRecords::Octets, 3> addresses{};
    int socket = 0;
    std::string port;
    int dhcp = 0;
    int inputType = 0;
    ClientIdText::Loaded clientId;
};

Shown load(const SettingsImage &image)
{
    Shown shown;
    for (std::size_t i = 0; i < 3; ++i)
        shown.addresses[i] = IpRecords::ReadOctets(image, kAddressRecords[i]);
    shown.socket = IpRecords::ReadChoice(image, IpRecords::kSocketFlag);
    shown.port = IpRecords::ReadPortText(image);
    shown.dhcp = IpRecords::ReadChoice(image, IpRecords::kDhcpFlag);
    shown.inputType = IpRecords::ReadChoice(image, ImageLayout::kInputTypeByte);
    const bool hex = shown.inputType != 0;
    const std::string field = IpRecords::ReadClientIdField(image);
    shown.clientId = {field, Cp932::ToShown(ClientIdText::ShownFromField(field, hex)), hex};
    return shown;
}

void store(const Shown &shown, SettingsImage &image)
{
    for (std::size_t i = 0; i < 3; ++i)
        IpRecords::WriteOctets(image, kAddressRecords[i], shown.addresses[i]);
    IpRecords::WriteChoice(image, IpRecords::kSocketFlag, shown.socket);
    IpRecords::WritePortText(image, shown.port);
    IpRecords::WriteChoice(image, IpRecords::kDhcpFlag, shown.dhcp);
    IpRecords::WriteChoice(image, ImageLayout::kInputTypeByte, shown.inputType);
    const bool hex = shown.inputType != 0;
    IpRecords::WriteClientIdField(image, ClientIdText::FieldToStore(shown.clientId, shown.clientId.shownUtf8, hex));
}

SettingsImage roundTrip(const SettingsImage &image)
{
    SettingsImage stored = image;
    store(load(image), stored);
    return stored;
}

void checkPortRule(std::string_view text)
{
    for (const bool focus : {false, true}) {
        if (const auto replaced = IpRecords::PortBoxReplacement(text, focus))
            require(!IpRecords::PortBoxReplacement(*replaced, focus), "the port rule replaces its own text again");
    }
    const int octet = IpRecords::OctetFromText(text);
    require(octet >= 0 && octet <= 255, "an address part outside 0-255");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes = textOf(data, size);
    const SettingsImage image = imageFrom(bytes);

    const SettingsImage once = roundTrip(image);
    requireOnlyOwnedChanged(image, once, ownedByIpPage, "the network codecs wrote a byte the page does not own");
    require(roundTrip(once) == once, "a second round trip through the network codecs changed the image");

    if (bytes.size() > SettingsImage::kSize)
        checkPortRule(bytes.substr(SettingsImage::kSize));
    return 0;
}
