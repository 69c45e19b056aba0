#include "printer/CupsSpooler.h"
#include "printer/WaitCursorSpooler.h"

std::unique_ptr<Spooler> makeSystemSpooler()
{
    return std::make_unique<WaitCursorSpooler>(std::make_unique<CupsSpooler>());
}
