#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// One fake scheduler process (tests/faults/fake_scheduler.py) on a loopback port: a scheduler that
// misbehaves, or a proxy before the real one that delays or drips its answers.
class FakeScheduler
{
public:
    FakeScheduler() = default;
    ~FakeScheduler();
    FakeScheduler(const FakeScheduler &) = delete;
    FakeScheduler &operator=(const FakeScheduler &) = delete;

    bool start(const QStringList &arguments);  // the script's arguments after PORTFILE
    int port() const { return m_port; }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }
    // Every request it received, one "operation job-id" line each (hex, decimal).
    QString requests() const;

private:
    QString portFile() const { return m_dir.filePath(QStringLiteral("port")); }

    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
};
