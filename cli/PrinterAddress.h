#pragma once

#include <string>
#include <string_view>

// A printer as the command line names it: "QUEUE" on the command's print server, or
// "QUEUE@HOST[:PORT]" on another one, as `lp -d` takes it.
struct PrinterAddress
{
    std::string queue;   // as written: it may hold the escapes OutputText::printerName() writes
    std::string server;  // as written; empty: the command's own print server

    // Splits at the last "@" when what follows it names a print server.
    static PrinterAddress parse(std::string_view text);
};
