#include "FakeScheduler.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

FakeScheduler::~FakeScheduler()
{
    m_process.kill();
    m_process.waitForFinished();
}

bool FakeScheduler::start(const QStringList &behaviour)
{
    const QString script = QStringLiteral(SBQ_SOURCE_DIR "/tests/faults/fake_scheduler.py");
    m_process.start(QStringLiteral("python3"), QStringList{script, portFile()} + behaviour);
    QDeadlineTimer deadline(std::chrono::seconds(10));
    while (!QFile::exists(portFile()) && !deadline.hasExpired())
        QThread::msleep(20);
    QFile file(portFile());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    m_port = file.readAll().toInt();
    return m_port > 0;
}

QString FakeScheduler::requests() const
{
    QFile log(portFile() + QStringLiteral(".log"));
    return log.open(QIODevice::ReadOnly) ? QString::fromLatin1(log.readAll()) : QString();
}

bool FakeScheduler::waitForRequest(const QString &operation, std::chrono::milliseconds timeout) const
{
    QDeadlineTimer deadline(timeout);
    while (!requests().contains(operation + u' ')) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}
