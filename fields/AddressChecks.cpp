#include "fields/AddressChecks.h"

#include "fields/FieldCodec.h"
#include "fields/FieldTable.h"
#include "fields/NetworkCodecs.h"

#include <cstdint>

namespace Fields {
namespace {

std::uint32_t addressValue(const std::string &text)
{
    std::uint32_t value = 0;
    for (const int octet : addressOctets(text))
        value = (value << 8) | static_cast<std::uint32_t>(octet);
    return value;
}

std::string shown(std::string_view key, const SettingsImage &image)
{
    const Field &field = named(key);
    return field.codec->decode(field, image).text;
}

bool dhcpOn(const SettingsImage &image)
{
    const Field &field = named("ip.dhcp");
    const FieldValue value = field.codec->decode(field, image);
    return value.choice && field.choices[*value.choice].name == "enabled";
}

// One-bits from the top, then zero-bits only.
bool contiguous(std::uint32_t mask)
{
    const std::uint32_t inverted = ~mask;
    return (inverted & (inverted + 1)) == 0;
}

void checkOne(const PrinterAddresses &printer, std::vector<AddressProblem> &problems)
{
    const std::uint32_t address = addressValue(printer.address);
    const std::uint32_t mask = addressValue(printer.mask);
    const std::uint32_t gateway = addressValue(printer.gateway);
    if (!contiguous(mask)) {
        problems.push_back({printer.printer, "ip.subnet_mask", printer.mask, "the subnet mask is not contiguous"});
        return;  // without a subnet the other checks say nothing
    }
    // A /31 or /32 has no network or broadcast address of its own.
    if (~mask > 1) {
        if ((address & ~mask) == 0)
            problems.push_back({printer.printer, "ip.address", printer.address,
                                "the address is the network address of its subnet"});
        else if ((address & ~mask) == ~mask)
            problems.push_back({printer.printer, "ip.address", printer.address,
                                "the address is the broadcast address of its subnet"});
    }
    if (gateway != 0 && (gateway & mask) != (address & mask))
        problems.push_back({printer.printer, "ip.gateway", printer.gateway,
                            "the gateway is outside the subnet of " + printer.address + "/" + printer.mask});
}

}  // namespace

PrinterAddresses addressesOf(std::string printer, const SettingsImage &image)
{
    return {std::move(printer), shown("ip.address", image), shown("ip.subnet_mask", image),
            shown("ip.gateway", image), dhcpOn(image)};
}

std::vector<AddressProblem> addressProblems(const std::vector<PrinterAddresses> &printers)
{
    std::vector<AddressProblem> problems;
    for (std::size_t i = 0; i < printers.size(); ++i) {
        const PrinterAddresses &printer = printers[i];
        if (printer.dhcp)
            continue;
        checkOne(printer, problems);
        for (std::size_t other = 0; other < printers.size(); ++other) {
            if (other == i || printers[other].dhcp
                || addressValue(printers[other].address) != addressValue(printer.address))
                continue;
            problems.push_back({printer.printer, "ip.address", printer.address,
                                "the same static address as " + printers[other].printer});
            break;
        }
    }
    return problems;
}

}  // namespace Fields
