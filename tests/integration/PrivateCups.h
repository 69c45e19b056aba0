#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>

// A private CUPS server with the simulated printer, started by scripts/private-cupsd.sh in a
// temporary folder and stopped when this object goes. start() also points CUPS_SERVER at it for
// this process and the programs it starts; call it before anything asks libcups for its server.
class PrivateCups
{
public:
    static constexpr char kDefaultQueue[] = "QAV_Quillotron_740Q2";
    static constexpr char kModel[] = "QAV Quillotron 740Q2";

    PrivateCups();
    ~PrivateCups();
    PrivateCups(const PrivateCups &) = delete;
    PrivateCups &operator=(const PrivateCups &) = delete;

    bool start();  // false with error() set when the server did not come up
    QString error() const { return m_error; }
    QString server() const { return m_server; }
    QString tcpAddress() const;  // "127.0.0.1:PORT", where the server also listens
    QString folder() const { return m_dir.path(); }

    // Queues: `uri` "sim" is the simulated printer; `model` defaults to the supported one.
    bool addQueue(const QString &name, const QString &uri = QStringLiteral("sim"), const QString &model = {});
    bool removeQueue(const QString &name);
    bool rejectJobs(const QString &name);
    bool acceptJobs(const QString &name);
    // Runs a CUPS command-line tool against this server; its standard output, or an empty string
    // with error() set.
    QByteArray run(const QString &program, const QStringList &arguments);

    // The simulated printer's jobs, oldest first, once `count` of them have arrived (or what has
    // arrived when `timeout` runs out).
    QList<QByteArray> waitForJobs(int count, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    QList<QByteArray> jobs() const;
    QString jobsFolder() const;

    static QString script();

private:
    bool runScript(const QStringList &arguments, QByteArray *output = nullptr);

    QTemporaryDir m_dir;
    QString m_server;
    QString m_error;
    bool m_started = false;
};
