#pragma once

#include "spooler/Spooler.h"
#include "spooler/UserAccess.h"

#include <cups/cups.h>

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

// What the scheduler's answers say about printers and jobs, read from their IPP attributes.
namespace CupsAttributes {

// The printer attributes the printer list asks for.
inline constexpr std::array<const char *, 11> kPrinterAttributes{
    "printer-name",
    "printer-make-and-model",
    "device-uri",
    "printer-uri-supported",
    "printer-type",
    "printer-is-accepting-jobs",
    "requesting-user-name-allowed",
    "requesting-user-name-denied",
    "printer-state",
    "printer-state-reasons",
    "printer-state-message",
};

// The job attributes that tell how a job is doing.
inline constexpr std::array<const char *, 6> kJobAttributes{
    "job-id",
    "job-state",
    "job-state-reasons",
    "job-printer-uri",
    "job-printer-state-reasons",
    "job-printer-state-message",
};

// The printer attributes that tell how a printer is getting on with its jobs.
inline constexpr std::array<const char *, 3> kPrinterStateAttributes{
    "printer-state",
    "printer-state-reasons",
    "printer-state-message",
};

// How a printer is doing, as the scheduler says it.
struct PrinterState
{
    int state = IPP_PSTATE_IDLE;
    std::vector<std::string> reasons;
    std::string message;  // the last message of the printer's backend or filters
};

// One job as the scheduler lists it.
struct JobState
{
    int id = 0;
    int state = IPP_JSTATE_PENDING;
    std::vector<std::string> reasons;
    std::string printerUri;
    PrinterState printerAtJob;  // the printer's state as the job last recorded it
};

// Every printer of a CUPS-Get-Printers answer, as `user` may use it.
std::vector<SpoolerPrinter> printersIn(ipp_t *response, const UserAccess::User &user);

// Every job of a Get-Jobs answer, by id.
std::map<int, JobState> jobsIn(ipp_t *response);

// The printer's state in a Get-Printer-Attributes answer.
PrinterState printerStateIn(ipp_t *response);

// Every printer's state in a CUPS-Get-Printers answer, by printer name.
std::map<std::string, PrinterState> printerStatesIn(ipp_t *response);

// The name of the queue a printer URI points at ("ipp://host:631/printers/q%201" -> "q 1").
std::string queueOfPrinterUri(const std::string &uri);

// Where `job` stands, judged with its printer's current state when there is one (the job's own
// record of it lags behind: it keeps the gravest message it saw).
JobProgress progressOf(const JobState &job, const std::optional<PrinterState> &printer);

// "paused; Printer stopped for maintenance": reasons (without "none") and the message.
std::string reasonsText(const std::vector<std::string> &reasons, const std::string &message);

}  // namespace CupsAttributes
