#pragma once

#include "Delivery.h"
#include "SettingsImage.h"

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

class Spooler;

// What a command works with: the spooler, and the streams for results and for messages.
struct CommandContext
{
    Spooler &spooler;
    std::ostream &out;
    std::ostream &err;
};

namespace CommandSupport {

// The image in the settings file at `path`. When it is missing, unreadable or not a settings file,
// the window program's message goes to the error stream, after the path, and nothing is returned.
std::optional<SettingsImage> readSettings(const std::string &path, CommandContext &context);

// Sends `job` to `printers`: progress on the error stream when there is more than one, a line per
// printer ("NAME: sent", "NAME: not sent: why") and the summary. Returns how many printers got it.
std::size_t deliverAndReport(const std::vector<std::string> &printers, const Delivery::Job &job, CommandContext &context);

}  // namespace CommandSupport
