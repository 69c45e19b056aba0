#include "app/DesktopActivation.h"

#include "app/X11StartupId.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace DesktopActivation {

void raise(QWidget *window, const ActivationToken &token)
{
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    const QString platform = QGuiApplication::platformName();
    if (token.kind == ActivationToken::Kind::X11StartupId && platform == QLatin1String("xcb")
        && X11StartupId::activate(window->windowHandle(), token.value))
        return;
    if (token.kind == ActivationToken::Kind::Wayland && platform.startsWith(QLatin1String("wayland"))) {
        // Qt's Wayland platform hands this token to the compositor with the next activation
        // request of a window, and then forgets it.
        qputenv("XDG_ACTIVATION_TOKEN", QByteArray::fromStdString(token.value));
    }
    window->activateWindow();
}

}  // namespace DesktopActivation
