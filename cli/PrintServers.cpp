#include "cli/PrintServers.h"

#include "cli/Spoolers.h"

#include <algorithm>
#include <future>
#include <utility>

namespace {

using Unlisted = std::pair<std::string, Spooler *>;

// A server that could not be reached or did not answer in time would most likely cost the next
// call the same wait; one that answered badly or refused answers the next call at once.
bool meansDown(SpoolerError::Kind kind)
{
    return kind == SpoolerError::Kind::Unreachable || kind == SpoolerError::Kind::TimedOut;
}

const std::vector<SpoolerPrinter> kNone;

}  // namespace

PrintServers::PrintServers(Spoolers &spoolers) : m_spoolers(spoolers)
{
}

void PrintServers::list(const std::vector<std::string> &servers)
{
    std::vector<Unlisted> unlisted;
    for (const std::string &server : servers) {
        Spooler *spooler = m_spoolers.at(server);
        if (spooler && !m_listings.contains(server) && std::ranges::find(unlisted, server, &Unlisted::first) == unlisted.end())
            unlisted.emplace_back(server, spooler);
    }
    if (unlisted.size() == 1) {
        keep(unlisted.front().first, unlisted.front().second->printers());
        return;
    }
    std::vector<std::future<PrinterListing>> listings;
    for (const auto &[server, spooler] : unlisted)
        listings.push_back(std::async(std::launch::async, [spooler] { return spooler->printers(); }));
    for (std::size_t i = 0; i < unlisted.size(); ++i)
        keep(unlisted[i].first, listings[i].get());
}

void PrintServers::keep(const std::string &server, PrinterListing listing)
{
    if (listing.error.failed())
        m_down.try_emplace(server, listing.error);
    m_listings[server] = std::move(listing);
}

Spooler *PrintServers::spooler(const std::string &server)
{
    return m_spoolers.at(server);
}

const std::vector<SpoolerPrinter> &PrintServers::printers(const std::string &server)
{
    list({server});
    if (m_down.contains(server))
        return kNone;
    const auto listed = m_listings.find(server);
    return listed != m_listings.end() ? listed->second.printers : kNone;
}

std::optional<SpoolerError> PrintServers::down(const std::string &server) const
{
    const auto found = m_down.find(server);
    if (found == m_down.end())
        return std::nullopt;
    return found->second;
}

void PrintServers::noteFailure(const std::string &server, SpoolerError::Kind kind)
{
    if (meansDown(kind) && !m_down.contains(server))
        m_down[server] = {kind, {}};
}

std::string PrintServers::name(const std::string &server) const
{
    return m_spoolers.nameOf(server);
}

std::string PrintServers::reason(const SpoolerError &error, const std::string &named)
{
    const std::string server = named.empty() ? std::string("the print server") : "the print server '" + named + "'";
    switch (error.kind) {
    case SpoolerError::Kind::Unreachable:
        return server + " can't be reached";
    case SpoolerError::Kind::TimedOut:
        return server + " did not answer in time";
    case SpoolerError::Kind::BadAnswer:
        return server + " gave no usable answer";
    case SpoolerError::Kind::Refused:
        return server + " refused: " + error.reason;
    case SpoolerError::Kind::None:
        break;
    }
    return error.reason;
}
