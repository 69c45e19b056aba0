#include "app/SessionEnd.h"

#include <QGuiApplication>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> kEndingSignals{SIGTERM, SIGHUP, SIGINT};

// The handler's only way out: a pipe whose other end the event loop watches. A handler may
// touch nothing else (it runs between any two instructions of any thread).
int g_signalPipe[2] = {-1, -1};

extern "C" void onEndingSignal(int signalNumber)
{
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
    errno = savedErrno;
}

void setHandler(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;  // a blocking call that the signal interrupts goes on
    for (const int signalNumber : kEndingSignals)
        ::sigaction(signalNumber, &action, nullptr);
}

}  // namespace

SessionEnd::SessionEnd()
{
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;  // the signals keep ending the program at once
    setHandler(onEndingSignal);
}

SessionEnd::~SessionEnd()
{
    // The handler must never write to a descriptor that is closed, or reused by then.
    setHandler(SIG_DFL);
    delete m_notifier;
    for (int &fd : g_signalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void SessionEnd::watch()
{
    if (g_signalPipe[0] >= 0 && !m_notifier) {
        m_notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read);
        connect(m_notifier, &QSocketNotifier::activated, this, &SessionEnd::signalArrived);
    }
    connect(qApp, &QGuiApplication::commitDataRequest, this, &SessionEnd::saveRequested);
    qApp->installEventFilter(this);
}

void SessionEnd::signalArrived()
{
    char bytes[16];
    while (::read(g_signalPipe[0], bytes, sizeof bytes) > 0) {
    }
    emit ending();
}

bool SessionEnd::eventFilter(QObject *watched, QEvent *event)
{
    // The session manager's end reaches the application as a quit from the window system; left
    // to Qt, it would close the windows one by one, and the main window's close asks questions.
    if (watched == qApp && event->type() == QEvent::Quit && event->spontaneous()) {
        emit ending();
        return true;
    }
    return false;
}
