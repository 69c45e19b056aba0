#include "cli/Commands.h"

#include "cli/ExitCodes.h"
#include "cli/LedgerEntries.h"
#include "cli/OutputText.h"

using OutputText::forTerminal;

namespace Commands {
namespace {

constexpr std::size_t kShortDigest = 12;

void printLine(const LedgerEntries::Entry &entry, std::ostream &out)
{
    out << forTerminal(entry.time) << "  " << forTerminal(entry.printerName()) << "  "
        << forTerminal(entry.group.empty() ? "-" : entry.group) << "  job " << entry.jobId << "  "
        << forTerminal(entry.outcome);
    if (!entry.reason.empty())
        out << " (" << forTerminal(entry.reason) << ')';
    out << "  sha256 " << forTerminal(entry.sha256.substr(0, kShortDigest)) << "  " << forTerminal(entry.user) << '@'
        << forTerminal(entry.host) << ' ' << forTerminal(entry.program) << '\n';
}

}  // namespace

// The ledger's records, newest last: one line each, or with --json a JSON array of them as the
// ledger holds them.
int history(const Arguments::Invocation &invocation, CommandContext &context)
{
    const std::optional<std::vector<LedgerEntries::Entry>> entries = LedgerEntries::read(context.err);
    if (!entries)
        return ExitCode::kNotASettingsFile;
    const char *separator = "\n";
    if (invocation.json)
        context.out << '[';
    bool any = false;
    for (const LedgerEntries::Entry &entry : *entries) {
        if (!invocation.printers.empty() && !LedgerEntries::isOf(entry, invocation.printers.front(), context.spoolers))
            continue;
        if (invocation.since && entry.time < *invocation.since)
            continue;
        any = true;
        if (invocation.json) {
            context.out << separator << "  " << entry.line;
            separator = ",\n";
        } else {
            printLine(entry, context.out);
        }
    }
    if (invocation.json)
        context.out << (any ? "\n]\n" : "]\n");
    return ExitCode::kOk;
}

}  // namespace Commands
