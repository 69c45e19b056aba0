#pragma once

#include <optional>
#include <string>
#include <string_view>

// Where a CUPS scheduler listens: a host name or address with its port, or the path of the
// scheduler's local socket (the port is then unused).
struct CupsServer
{
    static constexpr int kIppPort = 631;

    std::string host;
    int port = kIppPort;

    // "HOST", "HOST:PORT", "[IPV6]:PORT" or "/path/of/cups.sock", as `lp -h` takes them; nothing
    // when the text names no server.
    static std::optional<CupsServer> parse(std::string_view text);
    // As parse() takes it back: "HOST" (the port left out when it is 631), "HOST:PORT",
    // "[IPV6]:PORT" or the socket's path.
    std::string text() const;
};
