#pragma once

#include "Spooler.h"

#include <chrono>
#include <memory>
#include <string>

// The system's print spooler, reached through libcups. Each call opens its own connection to the
// CUPS server named by CUPS_SERVER or the client configuration, and gives up when the server
// stays silent for `timeout`: a hung scheduler would otherwise block libcups for minutes.
// Printers' devices are never contacted; everything comes from the scheduler.
class CupsSpooler : public Spooler
{
public:
    struct Server
    {
        std::string host;  // a host name or address, or the path of the scheduler's local socket
        int port = 631;
    };

    static constexpr std::chrono::milliseconds kDefaultTimeout{10000};

    explicit CupsSpooler(std::chrono::milliseconds timeout = kDefaultTimeout);
    CupsSpooler(Server server, std::chrono::milliseconds timeout);

    std::vector<SpoolerPrinter> printers() override;
    bool writeRawJob(const std::string &printer, const std::string &jobName, std::string_view bytes) override;
    // The picture goes as a PNG file stating the printer's default resolution, with the job
    // attributes print-scaling=none and printer-resolution set to that resolution.
    bool printImage(const std::string &printer, const std::string &jobName, const RgbImage &image) override;

    // The server libcups is configured to use.
    static Server configuredServer();

private:
    Server m_server;
    std::chrono::milliseconds m_timeout;
};

// The spooler the program uses: CUPS, with a wait cursor while a call runs.
std::unique_ptr<Spooler> makeSystemSpooler();
