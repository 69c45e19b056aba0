#pragma once

#include "CupsSpooler.h"
#include "Spoolers.h"

#include <map>
#include <memory>
#include <string>

// The CUPS servers sbq740-cli reaches, each spooler made when it is first needed.
class CupsSpoolers : public Spoolers
{
public:
    Spooler *at(const std::string &server) override;

private:
    std::map<std::string, std::unique_ptr<CupsSpooler>> m_spoolers;
};
