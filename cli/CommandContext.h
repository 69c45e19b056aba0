#pragma once

#include "cli/Arguments.h"
#include "cli/Delivery.h"
#include "cli/SettingsText.h"
#include "settings/SettingsImage.h"

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

class PrintServers;
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

// The image of a settings file, or the settings a settings document (sbq740-cli export) gives
// over the factory settings; the values its rules changed go to the error stream. Nothing, with
// the messages, when the file is neither or the document is refused; `failure` is then the exit
// code to end with.
std::optional<SettingsImage> readSettingsOrDocument(const std::string &path, CommandContext &context, int &failure);

// The text of a settings document; nothing, with a message, when it can't be read or is too long
// to be one.
std::optional<std::string> readDocument(const std::string &path, CommandContext &context);

// What building settings from text came to: refusals and warnings on the error stream, after
// `path`; the values a rule changed on `changes`. True when the settings were built.
bool reportBuilt(const std::string &path, const SettingsText::Built &built, std::ostream &changes,
                 CommandContext &context);

// Writes `image` to the settings file at `path` with the settings file writer and says so; the
// exit code.
int writeSettings(const std::string &path, const SettingsImage &image, CommandContext &context);

// The print servers the command addresses: those of --server, or the configured one ("").
std::vector<std::string> serversOf(const Arguments::Invocation &invocation);

// The printers the command sends to: those of --printer, or with --all every usable printer of
// the model on each server that is not connected to "FILE:"; a server whose printers could not
// be listed gets a line of its own ("HOST: failed (why)") and is counted. Nothing, with a
// message, when the names can't be placed on a server.
struct Targets
{
    std::vector<PrinterAddress> printers;
    std::size_t failedServers = 0;
};
std::optional<Targets> targetsOf(const Arguments::Invocation &invocation, PrintServers &servers, CommandContext &context);

// Sends `job` to the command's printers and follows it as the command line says: progress on the
// error stream when there is more than one, a line per printer as its job ends ("NAME:
// delivered", "NAME: queued (why)", "NAME: failed (why)"), a line per print server that could
// not list its printers, and a summary.
struct Report
{
    int exitCode;
    std::size_t reached;  // printers whose job was delivered (or, not followed, accepted)
};
// `cleared`, when given, sees the printers before anything is sent: false ends the command with
// kRefused and nothing sent (it says why on the error stream).
using TargetCheck = std::function<bool(const std::vector<PrinterAddress> &printers)>;
Report deliverAndReport(const Arguments::Invocation &invocation, const Delivery::Job &job, CommandContext &context,
                        const TargetCheck &cleared = {});
// The same for printers already placed on `servers`, each with its own job (one job: all the same).
Report deliverEachAndReport(const Arguments::Invocation &invocation, PrintServers &servers, const Targets &targets,
                            const std::vector<Delivery::Job> &jobs, CommandContext &context);

}  // namespace CommandSupport
