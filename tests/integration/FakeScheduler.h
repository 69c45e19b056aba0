#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>

// One misbehaving CUPS scheduler, or a proxy before the real one that delays or drips its answers
// (tests/faults/fake_scheduler.py, which lists the behaviours), on a loopback port, stopped when
// this object goes.
class FakeScheduler
{
public:
    FakeScheduler() = default;
    ~FakeScheduler();
    FakeScheduler(const FakeScheduler &) = delete;
    FakeScheduler &operator=(const FakeScheduler &) = delete;

    // Starts the scheduler with `behaviour` (the script's arguments after the port file); false
    // when it did not come up.
    bool start(const QStringList &behaviour);
    int port() const { return m_port; }
    QString address() const { return QStringLiteral("127.0.0.1:") + QString::number(m_port); }
    // The requests it received, one "operation job-id" line each (hex and decimal).
    QString requests() const;
    // True once a request of `operation` (four hex digits) has arrived, false after `timeout`.
    bool waitForRequest(const QString &operation, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

private:
    QString portFile() const { return m_dir.filePath(QStringLiteral("port")); }

    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
};
