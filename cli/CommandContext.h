#pragma once

#include "Arguments.h"
#include "Delivery.h"
#include "SettingsImage.h"

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

class Spoolers;

// What a command works with: the spoolers, the streams for results and for messages, and whether
// the user has asked to stop (Ctrl-C).
struct CommandContext
{
    Spoolers &spoolers;
    std::ostream &out;
    std::ostream &err;
    std::function<bool()> interrupted = [] { return false; };
};

namespace CommandSupport {

// The image in the settings file at `path`. When it is missing, unreadable or not a settings file,
// the window program's message goes to the error stream, after the path, and nothing is returned.
std::optional<SettingsImage> readSettings(const std::string &path, CommandContext &context);

// The print servers the command addresses: those of --server, or the configured one ("").
std::vector<std::string> serversOf(const Arguments::Invocation &invocation);

// The printers the command sends to: those of --printer, or with --all every usable printer of
// the model on each server that is not connected to "FILE:". Nothing, with a message, when
// the names can't be placed on a server.
std::optional<std::vector<PrinterAddress>> targetsOf(const Arguments::Invocation &invocation, CommandContext &context);

// Sends `job` to the command's printers and follows it as the command line says: progress on the
// error stream when there is more than one, a line per printer as its job ends ("NAME:
// delivered", "NAME: queued (why)", "NAME: failed (why)") and a summary.
struct Report
{
    int exitCode;
    std::size_t reached;  // printers whose job was delivered (or, not followed, accepted)
};
Report deliverAndReport(const Arguments::Invocation &invocation, const Delivery::Job &job, CommandContext &context);

}  // namespace CommandSupport
