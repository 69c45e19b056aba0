#pragma once

#include <QObject>

class QSocketNotifier;

// How the desktop ends the program without asking it: a logout sends the session's programs
// SIGTERM, a closed terminal SIGHUP, Ctrl+C in it SIGINT, and a session manager first asks the
// application to save its data and then ends the session. None of these may lose the edits, so
// each reaches the user-interface thread as a signal of this object, in whatever event loop runs
// there (a modal dialog's or a message box's too).
class SessionEnd : public QObject
{
    Q_OBJECT

public:
    // Catches the three signals from now on, before the Qt application exists too; they are held
    // until watch(). One object at a time.
    SessionEnd();
    ~SessionEnd() override;
    SessionEnd(const SessionEnd &) = delete;
    SessionEnd &operator=(const SessionEnd &) = delete;

    // Once the Qt application exists: the held signals and every later one are delivered.
    void watch();

signals:
    // The session manager asks for the data to be saved; the session may still go on.
    void saveRequested();
    // The program must end now: a signal came, or the session manager ended the session.
    void ending();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void signalArrived();

    QSocketNotifier *m_notifier = nullptr;
};
