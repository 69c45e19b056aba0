#include "Commands.h"

#include "ExitCodes.h"
#include "OutputText.h"
#include "PrinterList.h"
#include "Spooler.h"
#include "Spoolers.h"
#include "Strings.h"

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
// server's printers, named QUEUE@SERVER.
int printers(const Arguments::Invocation &invocation, CommandContext &context)
{
    std::vector<Listed> listed;
    for (const std::string &server : CommandSupport::serversOf(invocation)) {
        Spooler *spooler = context.spoolers.at(server);
        const PrinterList list(spooler ? spooler->printers().printers : std::vector<SpoolerPrinter>{});
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
    if (listed.empty()) {
        context.err << "sbq740-cli: no usable printer: none has the driver \"" << Str::kDriverName
                    << "\" and accepts jobs from this user\n";
        return ExitCode::kNotAll;
    }
    return ExitCode::kOk;
}

}  // namespace Commands
