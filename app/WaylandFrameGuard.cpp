#include "app/WaylandFrameGuard.h"

#include <QGuiApplication>
#include <QPlatformSurfaceEvent>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <cstdint>

#include <wayland-client-core.h>

namespace {

// Requests of xdg_toplevel (the stable xdg-shell protocol), numbered as the protocol lists them.
constexpr std::uint32_t kUnsetMaximized = 10;
constexpr std::uint32_t kUnsetFullscreen = 12;

constexpr Qt::WindowStates kScreenFilling = Qt::WindowMaximized | Qt::WindowFullScreen;

bool hasFixedSize(const QWindow *window)
{
    return window->minimumSize() == window->maximumSize();
}

}  // namespace

WaylandFrameGuard::WaylandFrameGuard(QObject *parent)
    : QObject(parent)
{
}

void WaylandFrameGuard::install()
{
    if (QGuiApplication::platformName() != QLatin1String("wayland"))
        return;
    qApp->installEventFilter(new WaylandFrameGuard(qApp));
}

bool WaylandFrameGuard::eventFilter(QObject *watched, QEvent *event)
{
    // Every window, the dialogs and message boxes included, is watched from the moment it has a
    // surface: the frame's button changes the state before anything else hears of it.
    if (event->type() == QEvent::PlatformSurface
        && static_cast<QPlatformSurfaceEvent *>(event)->surfaceEventType() == QPlatformSurfaceEvent::SurfaceCreated) {
        if (auto *window = qobject_cast<QWindow *>(watched))
            connect(window, &QWindow::windowStateChanged, this, &WaylandFrameGuard::stateRequested, Qt::UniqueConnection);
    }
    return false;
}

void WaylandFrameGuard::stateRequested()
{
    auto *window = qobject_cast<QWindow *>(sender());
    if (!window || !hasFixedSize(window))
        return;
    const Qt::WindowStates requested = window->windowStates() & kScreenFilling;
    if (!requested)
        return;
    withdraw(window, requested);
    // Qt's own idea of the state goes back too; the compositor never took it on.
    window->setWindowStates(window->windowStates() & ~kScreenFilling);
}

void WaylandFrameGuard::withdraw(QWindow *window, Qt::WindowStates states)
{
    // The request is still in the connection's buffer; the one after it cancels it before the
    // compositor answers with a configuration the window can't take.
    QPlatformNativeInterface *native = QGuiApplication::platformNativeInterface();
    auto *toplevel = static_cast<wl_proxy *>(native ? native->nativeResourceForWindow("xdg_toplevel", window) : nullptr);
    if (!toplevel)
        return;
    if (states & Qt::WindowMaximized)
        wl_proxy_marshal(toplevel, kUnsetMaximized);
    if (states & Qt::WindowFullScreen)
        wl_proxy_marshal(toplevel, kUnsetFullscreen);
}
