#pragma once

#include <string>

class Spooler;

// The print spoolers a command can reach: the configured CUPS server and any other one named as
// "HOST[:PORT]" or by the path of its socket.
class Spoolers
{
public:
    virtual ~Spoolers() = default;

    // The spooler of `server`; the configured one for an empty text. Nothing when the text names
    // no print server.
    virtual Spooler *at(const std::string &server) = 0;

    // `server` as people know it: as written, or for an empty text the server the configuration
    // names.
    virtual std::string nameOf(const std::string &server) const
    {
        return server.empty() ? std::string("the configured print server") : server;
    }
};
