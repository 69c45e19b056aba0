#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

// One running copy per program name and user. The first start holds a lock file in the user's
// runtime folder and listens on a local socket beside it; a later start asks the first one to
// come forward and then ends. A lock left behind by a crashed run is taken over (its process is
// gone); a socket file left behind is removed before listening.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // `name` is the application name (the program file's base name).
    explicit SingleInstance(const QString &name, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the first instance and now owns the name. Otherwise the running
    // instance has been asked to come forward (when it could be reached) and this one should end.
    bool claim();

    QString serverName() const;

signals:
    // A later start asked this instance to restore and raise its window.
    void activationRequested();

private:
    void listen();
    bool askRunningInstanceToActivate() const;

    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
