#include "CommandContext.h"

#include "OutputText.h"
#include "SettingsFile.h"
#include "Strings.h"

#include <algorithm>

namespace CommandSupport {

std::optional<SettingsImage> readSettings(const std::string &path, CommandContext &context)
{
    std::optional<SettingsImage> image = SettingsFile::read(path);
    if (!image)
        context.err << OutputText::forTerminal(path) << ": " << Str::kNotASettingsFile << '\n';
    return image;
}

std::size_t deliverAndReport(const std::vector<std::string> &printers, const Delivery::Job &job, CommandContext &context)
{
    const auto progress = [&context](std::size_t index, std::size_t count, const std::string &printer) {
        if (count > 1)
            context.err << '[' << index + 1 << '/' << count << "] " << OutputText::forTerminal(printer) << std::endl;
    };
    const std::vector<Delivery::Outcome> outcomes = Delivery::deliver(context.spooler, printers, job, progress);

    for (const Delivery::Outcome &outcome : outcomes) {
        context.out << OutputText::forTerminal(outcome.printer) << ": ";
        if (outcome.delivered)
            context.out << "sent\n";
        else
            context.out << "not sent: " << OutputText::forTerminal(outcome.reason) << '\n';
    }
    const auto delivered = static_cast<std::size_t>(std::ranges::count(outcomes, true, &Delivery::Outcome::delivered));
    context.out << "Sent \"" << job.name << "\" to " << delivered << " of " << outcomes.size()
                << (outcomes.size() == 1 ? " printer.\n" : " printers.\n");
    return delivered;
}

}  // namespace CommandSupport
