#include "app/ActivationToken.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr std::string_view kRequest = "activate";
constexpr std::string_view kX11 = "x11";
constexpr std::string_view kWayland = "wayland";
constexpr std::size_t kLongestToken = 1024;

bool isTokenText(std::string_view text)
{
    return !text.empty() && text.size() <= kLongestToken
        && std::all_of(text.begin(), text.end(), [](char c) { return c > ' ' && c < 0x7f; });
}

}  // namespace

ActivationToken ActivationToken::fromEnvironment()
{
    if (const char *wayland = std::getenv("XDG_ACTIVATION_TOKEN"); wayland && isTokenText(wayland))
        return {Kind::Wayland, wayland};
    if (const char *x11 = std::getenv("DESKTOP_STARTUP_ID"); x11 && isTokenText(x11))
        return {Kind::X11StartupId, x11};
    return {};
}

std::string ActivationToken::toLine() const
{
    std::string line(kRequest);
    if (kind != Kind::None && isTokenText(value)) {
        line += ' ';
        line += kind == Kind::Wayland ? kWayland : kX11;
        line += ' ';
        line += value;
    }
    return line + '\n';
}

bool ActivationToken::fromLine(std::string_view line, ActivationToken &token)
{
    token = {};
    if (line.substr(0, kRequest.size()) != kRequest)
        return false;
    line.remove_prefix(kRequest.size());
    if (line.empty())
        return true;
    if (line.front() != ' ')
        return false;
    line.remove_prefix(1);
    const std::size_t space = line.find(' ');
    const std::string_view kind = line.substr(0, space);
    const std::string_view value = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
    if (!isTokenText(value) || (kind != kX11 && kind != kWayland))
        return true;
    token.kind = kind == kWayland ? Kind::Wayland : Kind::X11StartupId;
    token.value = std::string(value);
    return true;
}
