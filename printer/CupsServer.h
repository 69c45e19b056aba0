#pragma once

#include <string>

// Where a CUPS scheduler listens: a host name or address with its port, or the path of the
// scheduler's local socket (the port is then unused).
struct CupsServer
{
    std::string host;
    int port = 631;
};
