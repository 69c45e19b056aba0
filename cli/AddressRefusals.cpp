#include "cli/AddressRefusals.h"

#include "cli/OutputText.h"

namespace AddressRefusals {

bool cleared(const std::vector<Fields::PrinterAddresses> &printers, std::ostream &err)
{
    const std::vector<Fields::AddressProblem> problems = Fields::addressProblems(printers);
    for (const Fields::AddressProblem &problem : problems)
        err << OutputText::forTerminal(problem.printer) << ": " << problem.key << ": \""
            << OutputText::forTerminal(problem.value) << "\": " << OutputText::forTerminal(problem.reason) << '\n';
    return problems.empty();
}

bool cleared(const SettingsImage &image, const std::vector<PrinterAddress> &printers, std::ostream &err)
{
    std::vector<Fields::PrinterAddresses> addresses;
    for (const PrinterAddress &printer : printers)
        addresses.push_back(Fields::addressesOf(writtenName(printer), image));
    return cleared(addresses, err);
}

std::string writtenName(const PrinterAddress &printer)
{
    return printer.server.empty() ? printer.queue : printer.queue + '@' + printer.server;
}

}  // namespace AddressRefusals
