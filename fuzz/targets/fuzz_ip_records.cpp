// The IP address page's fields fed a whole random image: what the page reads from the image and
// writes back (octets, choices, port, client ID), and the rules of its controls.
#include "FieldFuzzing.h"
#include "fields/NetworkCodecs.h"

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
    return offset == 161 || (offset >= 163 && offset < 163 + 5) || offset == 174 || (offset >= 176 && offset < 176 + 32)
        || offset == ImageLayout::kInputTypeByte;
}

SettingsImage roundTrip(const SettingsImage &image)
{
    return FieldFuzzing::roundTrip(image, Fields::PageId::Ip);
}

void checkPortRule(std::string_view text, const SettingsImage &image)
{
    FieldFuzzing::checkRules(text, image, Fields::PageId::Ip);
    const int octet = Fields::octetFromText(text);
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
        checkPortRule(bytes.substr(SettingsImage::kSize), image);
    return 0;
}
