#pragma once

#include "app/ActivationToken.h"
#include "app/InstanceLock.h"
#include "settings/FileDescriptor.h"

#include <QElapsedTimer>
#include <QObject>

#include <filesystem>
#include <string>

class ActivationServer;
class QTimer;

// One running copy per program name and user. The first start holds a lock in a folder of this
// user's own and listens on an activation socket beside it; a later start hands the running one
// its request to come forward and ends. A start ends as a later one only when a running instance
// took its request on the socket: a lock file of any content, one left by a crash, or a folder
// or socket that can't be used never keeps the window from opening.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // `name` is the application name (the program file's base name).
    explicit SingleInstance(std::string name, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Runs before the Qt application exists. True when this start opens its window: it is the
    // first instance, or no running instance answered. False when the running instance took the
    // request (with `token`, so that it may take the focus) and this start should end.
    bool claim(const ActivationToken &token);

    // Once the Qt application exists: the first instance serves the later starts' requests,
    // until stopServing() (before the Qt application goes), which removes the socket.
    void serve();
    void stopServing();

    // The folder the lock and the socket are in; empty when no folder could be used.
    const std::filesystem::path &folder() const { return m_folder; }
    std::filesystem::path socketPath() const;
    std::filesystem::path lockPath() const;
    static std::filesystem::path lockPath(const std::filesystem::path &folder, const std::string &name);

signals:
    // Later starts asked this instance to restore and raise its window. A burst of requests
    // comes as one, once the burst has paused, with the token of the last (the one the desktop
    // expects now); a burst that does not pause comes once a second.
    void activationRequested(const ActivationToken &token);

private:
    enum class Outcome { First, Later, Unanswered, Unusable };
    Outcome claimIn(const std::filesystem::path &folder, const ActivationToken &token);
    void takeRequest(const std::string &line);
    void passOnRequest();

    std::string m_name;
    std::filesystem::path m_folder;
    InstanceLock m_lock;
    FileDescriptor m_listener;
    ActivationServer *m_server = nullptr;
    QTimer *m_passOn;  // runs from the first request of a burst until it is passed on
    QElapsedTimer m_burst;
    ActivationToken m_lastToken;
};
