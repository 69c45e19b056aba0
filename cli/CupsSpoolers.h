#pragma once

#include "cli/Spoolers.h"
#include "ledger/Ledger.h"
#include "spooler/CupsSpooler.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

// The CUPS servers sbq740-cli reaches, each spooler made when it is first needed. Every job
// handed to them is recorded in `ledger`.
class CupsSpoolers : public Spoolers
{
public:
    // `stop` tells when nobody waits for the spoolers' answers any more (see CupsSpooler).
    explicit CupsSpoolers(std::shared_ptr<Ledger> ledger, std::function<bool()> stop = {});

    Spooler *at(const std::string &server) override;
    // The configured server as libcups reaches it: "HOST", "HOST:PORT" or its socket's path.
    std::string nameOf(const std::string &server) const override;

private:
    std::shared_ptr<Ledger> m_ledger;
    std::function<bool()> m_stop;
    std::map<std::string, std::unique_ptr<Spooler>> m_spoolers;
};
