#pragma once

#include "Spooler.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One raw job handed to several printers in turn, each with the checks the window program makes
// before it writes to its selected printer: the printer must be one the printer selection lists
// (the supported driver, open to this user), and its connection must not be "FILE:".
namespace Delivery {

struct Job
{
    std::string name;   // the job name the spooler shows
    std::string bytes;  // handed over unchanged
};

struct Outcome
{
    std::string printer;
    bool delivered = false;
    std::string reason;  // why not, when not delivered
};

// Called before each printer is addressed: its index from 0, the number of printers, its name.
using Progress = std::function<void(std::size_t index, std::size_t count, const std::string &printer)>;

// Why `printer` must not get a job, given the spooler's printers; nothing when it may.
std::optional<std::string> refusal(const std::string &printer, const std::vector<SpoolerPrinter> &known);

// Sends `job` to each of `printers` in the order given; one outcome per printer.
std::vector<Outcome> deliver(Spooler &spooler, const std::vector<std::string> &printers, const Job &job,
                             const Progress &progress = {});

}  // namespace Delivery
