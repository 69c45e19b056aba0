#pragma once

#include "settings/SettingsImage.h"

#include <string>
#include <vector>

// The checks an IP group must pass before it goes to the printers of one run: a printer given an
// address it can never answer on, or two printers given the same one, drop off the network with
// no way to reach them again but the panel.
namespace Fields {

// The IP page's address values of one printer of a run, as the page shows them.
struct PrinterAddresses
{
    std::string printer;  // as the run names it
    std::string address;  // "ip.address"
    std::string mask;     // "ip.subnet_mask"
    std::string gateway;  // "ip.gateway"
    bool dhcp = false;    // "ip.dhcp" enabled: the static address is not used
};

// The values `image` would give a printer.
PrinterAddresses addressesOf(std::string printer, const SettingsImage &image);

struct AddressProblem
{
    std::string printer;
    std::string key;    // the field at fault
    std::string value;  // as the page shows it
    std::string reason;
};

// Every problem of the run, printer by printer in the order given: a static address (DHCP off)
// that another printer of the run gets too, an address that is its subnet's network or broadcast
// address, a mask whose one-bits are not contiguous, a gateway other than 0.0.0.0 outside the
// address's subnet. With DHCP on the static values are not used and are not checked.
std::vector<AddressProblem> addressProblems(const std::vector<PrinterAddresses> &printers);

}  // namespace Fields
