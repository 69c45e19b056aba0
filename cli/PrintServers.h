#pragma once

#include "spooler/Spooler.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

class Spoolers;

// The print servers one run addresses: each one's printers, listed once, and whether it still
// answers. A server whose listing failed, or that could not be reached or did not answer in time
// later, counts as down for the rest of the run: it costs one wait, not one per printer.
class PrintServers
{
public:
    explicit PrintServers(Spoolers &spoolers);

    // Lists the printers of each of `servers` not listed yet, all at the same time: the run waits
    // for the slowest server, not for the sum of them.
    void list(const std::vector<std::string> &servers);

    // The spooler of `server`; nothing when the text names no print server.
    Spooler *spooler(const std::string &server);
    // The printers of `server`, listed on first use; none when it is down.
    const std::vector<SpoolerPrinter> &printers(const std::string &server);
    // Why `server` can't be used any more in this run; nothing while it can.
    std::optional<SpoolerError> down(const std::string &server) const;
    // Notes a call to `server` that failed with `kind`: when the server could not be reached or
    // did not answer in time, it is down from now on.
    void noteFailure(const std::string &server, SpoolerError::Kind kind);

    // The server as people know it: as written, or for "" the server the configuration names.
    std::string name(const std::string &server) const;

    // Why a print server could not serve, for a line that names it ("...: failed (REASON)"), or
    // with its name in the text when `named` is given. Not yet made fit for a terminal.
    static std::string reason(const SpoolerError &error, const std::string &named = {});
    // The reason of a call that Ctrl-C cut short: it says nothing about the server.
    static constexpr const char *kCutShort = "interrupted before the print server answered";

private:
    void keep(const std::string &server, PrinterListing listing);

    Spoolers &m_spoolers;
    std::map<std::string, PrinterListing> m_listings;
    std::map<std::string, SpoolerError> m_down;
};
