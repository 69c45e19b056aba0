#include "Commands.h"

#include "ExitCodes.h"
#include "OutputText.h"
#include "PrinterList.h"
#include "Spooler.h"
#include "Strings.h"

using OutputText::forTerminal;
using OutputText::jsonString;

namespace Commands {
namespace {

void printJson(const PrinterList &list, std::ostream &out)
{
    out << '[';
    const char *separator = "\n";
    for (const PrinterList::Row &row : list.rows()) {
        out << separator << "  {\"name\": " << jsonString(row.name) << ", \"connection\": " << jsonString(row.connection)
            << '}';
        separator = ",\n";
    }
    out << (list.rows().empty() ? "]\n" : "\n]\n");
}

}  // namespace

// The rows of the printer-selection list, tab-separated: name, connection.
int printers(const Arguments::Invocation &invocation, CommandContext &context)
{
    const PrinterList list(context.spooler.printers());
    if (invocation.json) {
        printJson(list, context.out);
    } else {
        for (const PrinterList::Row &row : list.rows())
            context.out << forTerminal(row.name) << '\t' << forTerminal(row.connection) << '\n';
    }
    if (list.count() == 0) {
        context.err << "sbq740-cli: no usable printer: none has the driver \"" << Str::kDriverName
                    << "\" and accepts jobs from this user\n";
        return ExitCode::kNotAll;
    }
    return ExitCode::kOk;
}

}  // namespace Commands
