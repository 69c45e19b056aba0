#include "spooler/ConnectionText.h"

#include "res/Strings.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace ConnectionText {
namespace {

std::string lowered(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

std::string schemeOf(std::string_view uri)
{
    const auto colon = uri.find(':');
    return colon == std::string_view::npos ? std::string() : lowered(uri.substr(0, colon));
}

bool isNetworkQueueScheme(const std::string &scheme)
{
    static constexpr std::array<std::string_view, 5> kSchemes{"ipp", "ipps", "http", "https", "lpd"};
    return std::find(kSchemes.begin(), kSchemes.end(), scheme) != kSchemes.end();
}

}  // namespace

std::string hostOf(std::string_view uri)
{
    const auto authorityStart = uri.find("://");
    if (authorityStart == std::string_view::npos)
        return {};
    std::string_view authority = uri.substr(authorityStart + 3);
    authority = authority.substr(0, authority.find_first_of("/?#"));
    if (const auto at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    if (authority.starts_with('[')) {
        const auto close = authority.find(']');
        return std::string(authority.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    }
    return std::string(authority.substr(0, authority.find(':')));
}

bool isLoopbackHost(std::string_view host)
{
    const std::string name = lowered(host);
    return name == "localhost" || name.starts_with("localhost.") || name.starts_with("127.")
        || name == "::1";
}

std::string fromDeviceUri(std::string_view deviceUri, bool remote, std::string_view printerUri)
{
    const std::string scheme = schemeOf(deviceUri);
    if (scheme == "file")
        return Str::kFileConnection;
    if (remote) {
        const std::string host = hostOf(deviceUri.empty() ? printerUri : deviceUri);
        if (!host.empty())
            return host;
    }
    if (isNetworkQueueScheme(scheme)) {
        const std::string host = hostOf(deviceUri);
        if (!host.empty() && !isLoopbackHost(host))
            return host;
    }
    return std::string(deviceUri);
}

}  // namespace ConnectionText
