#include "printer/SystemSpooler.h"

#include "printer/LoggedSpooler.h"
#include "printer/WaitCursorSpooler.h"
#include "spooler/CupsSpooler.h"

std::unique_ptr<Spooler> makeSystemSpooler()
{
    return std::make_unique<WaitCursorSpooler>(std::make_unique<LoggedSpooler>(std::make_unique<CupsSpooler>()));
}
