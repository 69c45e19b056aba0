#pragma once

#include "cli/Arguments.h"
#include "cli/CommandContext.h"

// The commands of sbq740-cli. Each returns the program's exit code (ExitCodes.h).
namespace Commands {

int printers(const Arguments::Invocation &invocation, CommandContext &context);
int show(const Arguments::Invocation &invocation, CommandContext &context);
int diff(const Arguments::Invocation &invocation, CommandContext &context);
int send(const Arguments::Invocation &invocation, CommandContext &context);
int headCheck(const Arguments::Invocation &invocation, CommandContext &context);
int exportSettings(const Arguments::Invocation &invocation, CommandContext &context);
int importSettings(const Arguments::Invocation &invocation, CommandContext &context);
int setFields(const Arguments::Invocation &invocation, CommandContext &context);
int history(const Arguments::Invocation &invocation, CommandContext &context);
int lastSent(const Arguments::Invocation &invocation, CommandContext &context);
int apply(const Arguments::Invocation &invocation, CommandContext &context);

}  // namespace Commands
