#include "cli/Commands.h"

#include "cli/ExitCodes.h"
#include "res/Strings.h"
#include "spooler/HeadCheckJob.h"

namespace Commands {

// The head-check job "Setbridge Check" to each printer; the printers show the outcome on their
// displays, which the closing message tells the operator.
int headCheck(const Arguments::Invocation &invocation, CommandContext &context)
{
    const Delivery::Job job{Str::kHeadCheckJobName, HeadCheckJob::build()};
    const CommandSupport::Report report = CommandSupport::deliverAndReport(invocation, job, context);
    if (report.reached > 0)
        context.out << Str::kHeadCheckDone << '\n';
    return report.exitCode;
}

}  // namespace Commands
