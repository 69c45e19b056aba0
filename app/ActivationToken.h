#pragma once

#include <string>
#include <string_view>

// What lets a running instance take the focus on behalf of a later start: the desktop hands the
// later start an X11 startup id ($DESKTOP_STARTUP_ID) or a Wayland activation token
// ($XDG_ACTIVATION_TOKEN), which the later start passes on over the activation socket as one line.
struct ActivationToken
{
    enum class Kind { None, X11StartupId, Wayland };

    Kind kind = Kind::None;
    std::string value;

    // From this process's environment (read before anything of Qt consumes it).
    static ActivationToken fromEnvironment();

    // The request line a later start sends: "activate", then the kind and the token, and LF.
    std::string toLine() const;
    // Reads a request line (without its LF); nothing but "activate" is a request. A token with
    // bytes other than printable ASCII, or too long, is dropped and the request kept.
    static bool fromLine(std::string_view line, ActivationToken &token);

    bool operator==(const ActivationToken &) const = default;
};
