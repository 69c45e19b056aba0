#include "cli/PrinterAddress.h"

#include "spooler/CupsServer.h"

PrinterAddress PrinterAddress::parse(std::string_view text)
{
    const std::size_t at = text.rfind('@');
    if (at == std::string_view::npos || at == 0 || !CupsServer::parse(text.substr(at + 1)))
        return {std::string(text), {}};
    return {std::string(text.substr(0, at)), std::string(text.substr(at + 1))};
}
