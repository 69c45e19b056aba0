#include "spooler/CupsServer.h"

#include <charconv>

namespace {

std::optional<int> portNumber(std::string_view text)
{
    int port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (error != std::errc() || end != text.data() + text.size() || port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

bool isHostName(std::string_view host)
{
    if (host.empty())
        return false;
    for (const char c : host) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-'
            || c == '.' || c == '_';
        if (!plain)
            return false;
    }
    return true;
}

}  // namespace

std::optional<CupsServer> CupsServer::parse(std::string_view text)
{
    if (text.starts_with('/'))
        return CupsServer{std::string(text), 0};
    std::string_view host = text;
    std::optional<std::string_view> port;
    if (text.starts_with('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        host = text.substr(1, close - 1);
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty() && !rest.starts_with(':'))
            return std::nullopt;
        if (!rest.empty())
            port = rest.substr(1);
        if (host.empty() || host.find_first_not_of("0123456789abcdefABCDEF:.") != std::string_view::npos)
            return std::nullopt;
    } else {
        if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
            host = text.substr(0, colon);
            port = text.substr(colon + 1);
        }
        if (!isHostName(host))
            return std::nullopt;
    }
    if (!port)
        return CupsServer{std::string(host), kIppPort};
    const std::optional<int> number = portNumber(*port);
    if (!number)
        return std::nullopt;
    return CupsServer{std::string(host), *number};
}

std::string CupsServer::text() const
{
    if (host.starts_with('/') || port == kIppPort)
        return host;
    const bool ipv6 = host.find(':') != std::string::npos;
    return (ipv6 ? '[' + host + ']' : host) + ':' + std::to_string(port);
}
