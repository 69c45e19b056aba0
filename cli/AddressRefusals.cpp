#include "cli/AddressRefusals.h"

#include "cli/OutputText.h"

namespace AddressRefusals {

bool cleared(const std::vector<SendPolicy::RunTarget> &targets, std::ostream &err)
{
    const std::vector<Fields::AddressProblem> problems = SendPolicy::addressProblems(targets);
    for (const Fields::AddressProblem &problem : problems)
        err << OutputText::forTerminal(problem.printer) << ": " << problem.key << ": \""
            << OutputText::forTerminal(problem.value) << "\": " << OutputText::forTerminal(problem.reason) << '\n';
    return problems.empty();
}

bool cleared(const SettingsImage &image, const std::vector<PrinterAddress> &printers, std::ostream &err)
{
    std::vector<SendPolicy::RunTarget> targets;
    for (const PrinterAddress &printer : printers)
        targets.push_back({writtenName(printer), image});
    return cleared(targets, err);
}

std::string writtenName(const PrinterAddress &printer)
{
    return printer.server.empty() ? printer.queue : printer.queue + '@' + printer.server;
}

}  // namespace AddressRefusals
