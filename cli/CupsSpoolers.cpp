#include "cli/CupsSpoolers.h"

#include "ledger/LedgerSpooler.h"

CupsSpoolers::CupsSpoolers(std::shared_ptr<Ledger> ledger, std::function<bool()> stop)
    : m_ledger(std::move(ledger)), m_stop(std::move(stop))
{
}

Spooler *CupsSpoolers::at(const std::string &server)
{
    std::unique_ptr<Spooler> &spooler = m_spoolers[server];
    if (!spooler) {
        const std::optional<CupsServer> address =
            server.empty() ? std::optional(CupsSpooler::configuredServer()) : CupsServer::parse(server);
        if (!address) {
            m_spoolers.erase(server);
            return nullptr;
        }
        spooler = std::make_unique<LedgerSpooler>(
            std::make_unique<CupsSpooler>(*address, CupsSpooler::kDeadline, m_stop), m_ledger, nameOf(server));
    }
    return spooler.get();
}

std::string CupsSpoolers::nameOf(const std::string &server) const
{
    if (!server.empty())
        return server;
    return CupsSpooler::configuredServer().text();
}
