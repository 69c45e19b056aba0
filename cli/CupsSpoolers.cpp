#include "cli/CupsSpoolers.h"

CupsSpoolers::CupsSpoolers(std::function<bool()> stop) : m_stop(std::move(stop))
{
}

Spooler *CupsSpoolers::at(const std::string &server)
{
    std::unique_ptr<CupsSpooler> &spooler = m_spoolers[server];
    if (!spooler) {
        const std::optional<CupsServer> address =
            server.empty() ? std::optional(CupsSpooler::configuredServer()) : CupsServer::parse(server);
        if (!address) {
            m_spoolers.erase(server);
            return nullptr;
        }
        spooler = std::make_unique<CupsSpooler>(*address, CupsSpooler::kDeadline, m_stop);
    }
    return spooler.get();
}

std::string CupsSpoolers::nameOf(const std::string &server) const
{
    if (!server.empty())
        return server;
    const CupsServer configured = CupsSpooler::configuredServer();
    if (configured.host.starts_with('/') || configured.port == CupsServer::kIppPort)
        return configured.host;
    const bool ipv6 = configured.host.find(':') != std::string::npos;
    return (ipv6 ? '[' + configured.host + ']' : configured.host) + ':' + std::to_string(configured.port);
}
