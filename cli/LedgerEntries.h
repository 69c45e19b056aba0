#pragma once

#include "cli/Json.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

class Spoolers;

// The ledger's records as the command line reads them back (see ledger/Ledger.h).
namespace LedgerEntries {

struct Entry
{
    std::string line;  // as the ledger holds it
    Json::Value value;
    std::string time, user, host, program, printer, server, group, sha256, outcome, reason;
    long long jobId = 0;

    // "QUEUE@SERVER", as --printer takes it back.
    std::string printerName() const;
};

// The ledger's records, oldest first. A line that is cut short or no record is skipped, with a
// warning on `err`; nothing, with a message, when the ledger can't be read.
std::optional<std::vector<Entry>> read(std::ostream &err);

// Whether `entry` is of the printer `name` names ("QUEUE", on the configured print server, or
// "QUEUE@HOST[:PORT]").
bool isOf(const Entry &entry, const std::string &name, const Spoolers &spoolers);

}  // namespace LedgerEntries
