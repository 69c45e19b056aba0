#include "cli/Commands.h"

#include "cli/ExitCodes.h"
#include "cli/OutputText.h"
#include "cli/PrintServers.h"
#include "res/Strings.h"
#include "spooler/PrinterList.h"

using OutputText::forTerminal;
using OutputText::jsonString;

namespace Commands {
namespace {

struct Listed
{
    std::string name;  // as the command line takes it back
    std::string connection;
};

void printJson(const std::vector<Listed> &listed, std::ostream &out)
{
    out << '[';
    const char *separator = "\n";
    for (const Listed &row : listed) {
        out << separator << "  {\"name\": " << jsonString(row.name) << ", \"connection\": " << jsonString(row.connection)
            << '}';
        separator = ",\n";
    }
    out << (listed.empty() ? "]\n" : "\n]\n");
}

}  // namespace

// The rows of the printer-selection list, tab-separated: name, connection. With --server, each
// server's printers, named QUEUE@SERVER. A server that can't list its printers is named on the
// error stream, with the reason, and the exit code is 1.
int printers(const Arguments::Invocation &invocation, CommandContext &context)
{
    PrintServers servers(context.spoolers);
    const std::vector<std::string> named = CommandSupport::serversOf(invocation);
    servers.list(named);
    if (context.interrupted()) {
        context.err << "Interrupted.\n";
        return ExitCode::kInterrupted;
    }
    std::vector<Listed> listed;
    std::size_t answered = 0;
    for (const std::string &server : named) {
        if (const std::optional<SpoolerError> down = servers.down(server)) {
            context.err << "sbq740-cli: " << forTerminal(PrintServers::reason(*down, servers.name(server))) << '\n';
            continue;
        }
        ++answered;
        const PrinterList list(servers.printers(server));
        for (const PrinterList::Row &row : list.rows()) {
            const std::string name = OutputText::printerName(row.name);
            listed.push_back({server.empty() ? name : name + '@' + server, row.connection});
        }
    }
    if (invocation.json) {
        printJson(listed, context.out);
    } else {
        for (const Listed &row : listed)
            context.out << row.name << '\t' << forTerminal(row.connection) << '\n';
    }
    if (listed.empty() && answered > 0)
        context.err << "sbq740-cli: no usable printer: none has the driver \"" << Str::kDriverName
                    << "\" and accepts jobs from this user\n";
    return listed.empty() || answered < named.size() ? ExitCode::kNotAll : ExitCode::kOk;
}

}  // namespace Commands
