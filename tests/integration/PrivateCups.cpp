#include "PrivateCups.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

namespace {

constexpr int kScriptTimeoutMs = 60000;

}  // namespace

PrivateCups::PrivateCups()
    : m_dir(QDir::tempPath() + QStringLiteral("/sbq-cups-XXXXXX"))
{
}

PrivateCups::~PrivateCups()
{
    if (m_started)
        runScript({QStringLiteral("stop"), m_dir.path()});
}

QString PrivateCups::script()
{
    return qEnvironmentVariable("SBQ_SOURCE_DIR", QStringLiteral(SBQ_SOURCE_DIR)) + QStringLiteral("/scripts/private-cupsd.sh");
}

bool PrivateCups::runScript(const QStringList &arguments, QByteArray *output)
{
    QProcess process;
    process.start(QStringLiteral("bash"), QStringList{script()} + arguments);
    if (!process.waitForFinished(kScriptTimeoutMs) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        m_error = QStringLiteral("private-cupsd.sh %1 failed: %2")
                      .arg(arguments.join(u' '), QString::fromLocal8Bit(process.readAllStandardError()));
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return true;
}

bool PrivateCups::start()
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    QByteArray output;
    m_started = true;
    if (!runScript({QStringLiteral("start"), m_dir.path()}, &output))
        return false;
    const QRegularExpression exportLine(QStringLiteral("^export CUPS_SERVER=(.+)$"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = exportLine.match(QString::fromLocal8Bit(output));
    if (!match.hasMatch()) {
        m_error = QStringLiteral("no CUPS_SERVER in: ") + QString::fromLocal8Bit(output);
        return false;
    }
    m_server = match.captured(1).trimmed();
    qputenv("CUPS_SERVER", m_server.toLocal8Bit());
    return true;
}

bool PrivateCups::addQueue(const QString &name, const QString &uri, const QString &model)
{
    QStringList arguments{QStringLiteral("queue"), m_dir.path(), name, uri};
    if (!model.isEmpty())
        arguments << model;
    return runScript(arguments);
}

QByteArray PrivateCups::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CUPS_SERVER"), m_server);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(kScriptTimeoutMs) || process.exitCode() != 0) {
        m_error = program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
        return {};
    }
    m_error.clear();
    return process.readAllStandardOutput();
}

bool PrivateCups::removeQueue(const QString &name)
{
    run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), name});
    return m_error.isEmpty();
}

bool PrivateCups::rejectJobs(const QString &name)
{
    run(QStringLiteral("cupsreject"), {name});
    return m_error.isEmpty();
}

bool PrivateCups::acceptJobs(const QString &name)
{
    run(QStringLiteral("cupsaccept"), {name});
    return m_error.isEmpty();
}

QString PrivateCups::tcpAddress() const
{
    QFile file(m_dir.path() + QStringLiteral("/cupsd.port"));
    return file.open(QIODevice::ReadOnly) ? QStringLiteral("127.0.0.1:") + QString::fromLatin1(file.readAll().trimmed())
                                          : QString();
}

QString PrivateCups::jobsFolder() const
{
    return m_dir.path() + QStringLiteral("/sim/jobs");
}

QList<QByteArray> PrivateCups::jobs() const
{
    QList<QByteArray> result;
    const QDir folder(jobsFolder());
    for (const QString &name : folder.entryList({QStringLiteral("job-*.bin")}, QDir::Files, QDir::Name)) {
        QFile file(folder.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            result.append(file.readAll());
    }
    return result;
}

QList<QByteArray> PrivateCups::waitForJobs(int count, std::chrono::milliseconds timeout) const
{
    const QDeadlineTimer deadline(timeout);
    QList<QByteArray> arrived = jobs();
    while (arrived.size() < count && !deadline.hasExpired()) {
        QThread::msleep(20);
        arrived = jobs();
    }
    return arrived;
}
