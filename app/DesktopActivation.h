#pragma once

#include "app/ActivationToken.h"

class QWidget;

// Brings a top-level window to the front for a later start, with the desktop's own activation
// protocol where the later start brought a token: on X11 the startup id goes on the window, the
// window asks the window manager for the focus with the id's time stamp, and the launch feedback
// of that start is ended; on Wayland the token goes with the activation request. Without a token
// the window asks for the focus in the usual way.
namespace DesktopActivation {

void raise(QWidget *window, const ActivationToken &token);

}  // namespace DesktopActivation
