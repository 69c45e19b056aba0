#pragma once

#include "settings/FileDescriptor.h"

#include <QObject>

#include <string>

class QSocketNotifier;

// Serves the activation socket in the first instance's event loop: each connection may hand over
// one request line, within a few seconds and a few kilobytes; anything else is dropped. Plain
// socket calls under a socket notifier, so the window program needs no network library.
class ActivationServer : public QObject
{
    Q_OBJECT

public:
    // `listener` is a listening, non-blocking socket; the server owns it from now on.
    ActivationServer(FileDescriptor listener, QObject *parent);

signals:
    void requestReceived(const std::string &line);

private:
    void acceptConnections();

    FileDescriptor m_listener;
    QSocketNotifier *m_notifier;
};
