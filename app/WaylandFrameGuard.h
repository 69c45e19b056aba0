#pragma once

#include <QObject>

class QWindow;

// On Wayland the program draws its windows' frames itself (Qt's client-side decorations), and
// that frame offers a maximise button whatever the window allows. A window of fixed size can't
// take the size a maximised window is given, and the compositor then ends the program's
// connection. The guard takes back, before it leaves the program, every request that would
// maximise or fill the screen with a window of fixed size; windows that can grow are left alone.
// Nothing happens on other platforms.
class WaylandFrameGuard : public QObject
{
    Q_OBJECT

public:
    // Watches every window the application makes from now on; owned by the application.
    static void install();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit WaylandFrameGuard(QObject *parent);
    void stateRequested();
    static void withdraw(QWindow *window, Qt::WindowStates states);
};
