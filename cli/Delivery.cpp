#include "Delivery.h"

#include "PrinterList.h"
#include "Strings.h"

#include <algorithm>

namespace Delivery {

std::optional<std::string> refusal(const std::string &printer, const std::vector<SpoolerPrinter> &known)
{
    const PrinterList list(known);
    const auto row = std::ranges::find(list.rows(), printer, &PrinterList::Row::name);
    if (row != list.rows().end()) {
        if (row->connection == Str::kFileConnection)
            return std::string(Str::kFileConnectionRefused);
        return std::nullopt;
    }

    const auto spooled = std::ranges::find(known, printer, &SpoolerPrinter::name);
    if (spooled == known.end())
        return "no such printer";
    if (spooled->driver != Str::kDriverName)
        return "not a " + std::string(Str::kDriverName) + " (its model is '" + spooled->driver + "')";
    return "the printer does not accept jobs from this user";
}

std::vector<Outcome> deliver(Spooler &spooler, const std::vector<std::string> &printers, const Job &job,
                             const Progress &progress)
{
    const std::vector<SpoolerPrinter> known = spooler.printers();
    std::vector<Outcome> outcomes;
    for (std::size_t index = 0; index < printers.size(); ++index) {
        const std::string &printer = printers[index];
        if (progress)
            progress(index, printers.size(), printer);
        Outcome outcome{printer, false, {}};
        if (std::optional<std::string> reason = refusal(printer, known))
            outcome.reason = std::move(*reason);
        else if (spooler.writeRawJob(printer, job.name, job.bytes))
            outcome.delivered = true;
        else
            outcome.reason = Str::kPrinterUnavailable;
        outcomes.push_back(std::move(outcome));
    }
    return outcomes;
}

}  // namespace Delivery
