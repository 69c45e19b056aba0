#pragma once

#include "cli/Spoolers.h"
#include "spooler/CupsSpooler.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

// The CUPS servers sbq740-cli reaches, each spooler made when it is first needed.
class CupsSpoolers : public Spoolers
{
public:
    // `stop` tells when nobody waits for the spoolers' answers any more (see CupsSpooler).
    explicit CupsSpoolers(std::function<bool()> stop = {});

    Spooler *at(const std::string &server) override;
    // The configured server as libcups reaches it: "HOST", "HOST:PORT" or its socket's path.
    std::string nameOf(const std::string &server) const override;

private:
    std::function<bool()> m_stop;
    std::map<std::string, std::unique_ptr<CupsSpooler>> m_spoolers;
};
