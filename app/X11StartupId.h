#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class QWindow;

// The X11 side of a hand-over: a later start's startup id is given to the running window.
namespace X11StartupId {

// The time stamp a startup id carries ("..._TIME<number>"), or 0 (the current time).
std::uint32_t timestamp(std::string_view startupId);

// The startup-notification message that ends a launch: remove: ID="..." with '"' and '\' escaped.
std::string removeMessage(std::string_view startupId);

// Sets _NET_STARTUP_ID on `window`, asks the window manager to activate it with the id's time
// stamp and ends the launch feedback. False when the platform is not X11.
bool activate(QWindow *window, std::string_view startupId);

}  // namespace X11StartupId
