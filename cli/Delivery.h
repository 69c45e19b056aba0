#pragma once

#include "cli/PrinterAddress.h"
#include "spooler/Spooler.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class PrintServers;

// One raw job handed to several printers in turn, each with the checks the window program makes
// before it writes to its selected printer (the printer must be one the printer selection lists,
// and not connected to "FILE:"), then followed until the spooler says what became of it.
namespace Delivery {

struct Job
{
    std::string name;   // the job name the spooler shows
    std::string bytes;  // handed over unchanged
};

enum class Result {
    Delivered,  // the spooler reports the job completed
    Accepted,   // the spooler took the job, and it was not followed further
    Queued,     // still waiting when following it ended, or its print server stopped answering
    Failed,     // refused, aborted or canceled, or its print server could not be used
};

struct Outcome
{
    std::string printer;  // as printed: the printer's name in a form the command line takes back
    Result result = Result::Failed;
    std::string reason;   // why it is queued or failed
};

struct Options
{
    bool follow = true;                             // false: the spooler's acceptance is the end
    std::chrono::milliseconds wait{30000};          // how long each job is followed
    std::chrono::milliseconds pollInterval{100};    // how often the spooler is asked
    std::size_t jobs = 8;                           // jobs handed over at once, per print server
};

struct Events
{
    // Before a printer is addressed: its index from 0, the number of printers, its name.
    std::function<void(std::size_t index, std::size_t count, const std::string &printer)> starting;
    // A printer's job has ended, one way or another.
    std::function<void(const Outcome &)> ended;
    // True once the user asked to stop: no new job is started.
    std::function<bool()> interrupted;
};

struct Summary
{
    std::vector<Outcome> outcomes;  // in the order the jobs ended
    std::size_t notStarted = 0;     // printers never addressed because of the interruption
    bool interrupted = false;

    std::size_t count(Result result) const;
};

// Why `printer` must not get a job, given the spooler's printers; nothing when it may.
std::optional<std::string> refusal(const std::string &printer, const std::vector<SpoolerPrinter> &known);

// Sends `job` to each of `printers`, started in the order given: the print servers at the same
// time, up to `Options::jobs` jobs at once on each whose spooler takes calls at once. A printer without a server of its own is
// on `defaultServer` ("": the configured one). The servers are listed first, all at once. A
// printer whose server is down fails at once with the server's reason; the jobs followed on a
// server that goes down are told queued with its reason, since whether they print is unknown.
Summary deliver(PrintServers &servers, const std::string &defaultServer, const std::vector<PrinterAddress> &printers,
                const Job &job, const Options &options, const Events &events);
// The same, each printer with its own job: `jobs[i]` goes to `printers[i]`.
Summary deliver(PrintServers &servers, const std::string &defaultServer, const std::vector<PrinterAddress> &printers,
                const std::vector<Job> &jobs, const Options &options, const Events &events);

}  // namespace Delivery
