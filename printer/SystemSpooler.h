#pragma once

#include "spooler/Spooler.h"

#include <memory>

// The spooler the program uses: CUPS, with a wait cursor while a call runs, its failures logged
// (LoggedSpooler), and every job recorded in the ledger.
std::unique_ptr<Spooler> makeSystemSpooler();
