#pragma once

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A desktop of a test's own, for the real program: a virtual X server (Xvfb), with either an X11
// window manager (jwm) or a Wayland compositor (weston's X11 backend, whose seat takes the X
// server's keys and clicks). Everything it starts is stopped when it goes. Every wait has a
// deadline.
class VirtualDesktop
{
public:
    VirtualDesktop();
    ~VirtualDesktop();
    VirtualDesktop(const VirtualDesktop &) = delete;
    VirtualDesktop &operator=(const VirtualDesktop &) = delete;

    bool startX(); // false with error() set
    bool startWindowManager();
    bool startCompositor();
    QString error() const { return m_error; }

    // What a program on this desktop is given: DISPLAY, and on the compositor WAYLAND_DISPLAY
    // with QT_QPA_PLATFORM=wayland; otherwise QT_QPA_PLATFORM=xcb.
    QProcessEnvironment environment() const;

    // A tool's standard output; empty when it fails or takes longer than `deadlineMs`.
    QString run(const QString &tool, const QStringList &arguments, int deadlineMs = 10000) const;
    void key(const QString &keys) const;  // xdotool key names, e.g. "alt+f"
    void click(QPoint at) const;

    // With the window manager: activates the X window `id` and waits until it has the keyboard
    // (keys sent before that may reach it before it knows it is active). False at the deadline.
    bool focus(const QString &id) const;
    // What the X window `id` shows now; a null image when it can't be read.
    QImage grab(const QString &id) const;

    // On the compositor: where a top-level window with `title` is (frame included), or an empty
    // rectangle; and how many pop-up surfaces (open menus) it shows.
    QRect toplevel(const QString &title) const;
    int popups() const;
    // Every surface the compositor shows, as weston-debug describes them.
    QString sceneGraph() const;

private:
    bool startServer(QProcess &process, const QString &program, const QStringList &arguments);

    QTemporaryDir m_dir;
    QProcess m_x;
    QProcess m_desktop;
    QString m_display;
    QString m_wayland;
    QString m_error;
};
