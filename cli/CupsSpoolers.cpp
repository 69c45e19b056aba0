#include "CupsSpoolers.h"

Spooler *CupsSpoolers::at(const std::string &server)
{
    std::unique_ptr<CupsSpooler> &spooler = m_spoolers[server];
    if (!spooler) {
        if (server.empty()) {
            spooler = std::make_unique<CupsSpooler>();
        } else if (const std::optional<CupsServer> address = CupsServer::parse(server)) {
            spooler = std::make_unique<CupsSpooler>(*address, CupsSpooler::kDeadline);
        } else {
            m_spoolers.erase(server);
            return nullptr;
        }
    }
    return spooler.get();
}
