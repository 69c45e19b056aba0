#pragma once

#include "cli/PrinterAddress.h"
#include "send/SendPolicy.h"
#include "settings/SettingsImage.h"

#include <ostream>
#include <vector>

// The address checks of an IP group sent to the printers of one run, as the command line reports
// them: one line per problem, "PRINTER: KEY: "VALUE": REASON", on the error stream.
namespace AddressRefusals {

// True when the run may go ahead; else the problems are written to `err`.
bool cleared(const std::vector<SendPolicy::RunTarget> &targets, std::ostream &err);

// The same for one image sent to every one of `printers`.
bool cleared(const SettingsImage &image, const std::vector<PrinterAddress> &printers, std::ostream &err);

// A printer as the command line wrote it: "QUEUE" or "QUEUE@SERVER".
std::string writtenName(const PrinterAddress &printer);

}  // namespace AddressRefusals
