#pragma once

#include "Spooler.h"
#include "UserAccess.h"

#include <cups/cups.h>

#include <array>
#include <map>
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
inline constexpr std::array<const char *, 4> kJobAttributes{
    "job-id",
    "job-state",
    "job-state-reasons",
    "job-printer-state-message",
};

// Every printer of a CUPS-Get-Printers answer, as `user` may use it.
std::vector<SpoolerPrinter> printersIn(ipp_t *response, const UserAccess::User &user);

// Every job of a Get-Jobs answer, by id.
std::map<int, JobProgress> jobsIn(ipp_t *response);

// "paused; Printer stopped for maintenance": reasons (without "none") and the message.
std::string reasonsText(const std::vector<std::string> &reasons, const std::string &message);

}  // namespace CupsAttributes
