#include "FakeScheduler.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

namespace {

QString script()
{
    return qEnvironmentVariable("SBQ_SOURCE_DIR") + QStringLiteral("/tests/faults/fake_scheduler.py");
}

}  // namespace

FakeScheduler::~FakeScheduler()
{
    m_process.kill();
    m_process.waitForFinished();
}

bool FakeScheduler::start(const QStringList &arguments)
{
    m_process.start(QStringLiteral("python3"), QStringList{script(), portFile()} + arguments);
    const QDeadlineTimer deadline(std::chrono::seconds(10));
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
