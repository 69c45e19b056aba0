#include "printer/SystemSpooler.h"

#include "ledger/LedgerFile.h"
#include "ledger/LedgerSpooler.h"
#include "printer/LoggedSpooler.h"
#include "printer/WaitCursorSpooler.h"
#include "spooler/CupsSpooler.h"

#include <iostream>

std::unique_ptr<Spooler> makeSystemSpooler()
{
    // A ledger that can't be written is noted on standard error only: the operator is not asked.
    auto ledger = std::make_shared<Ledger>(LedgerFile::location(), "sbq740", [](const std::string &message) {
        std::cerr << "sbq740: warning: " << message << '\n';
    });
    auto cups = std::make_unique<LoggedSpooler>(std::make_unique<CupsSpooler>());
    return std::make_unique<LedgerSpooler>(std::make_unique<WaitCursorSpooler>(std::move(cups)), std::move(ledger),
                                           CupsSpooler::configuredServer().text());
}
