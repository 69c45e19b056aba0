// Plans and the address checks of the IP group, as an operator runs them against two private
// CUPS servers: every refusal is found before any printer gets anything.
#include "PrivateCups.h"
#include "cli/SettingsText.h"
#include "settings/ImageLayout.h"
#include "settings/SettingsFile.h"
#include "spooler/SettingsJob.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace {

struct Run
{
    int code = -1;
    QString out;
    QString err;
};

Run runCli(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(SBQ_CLI), arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

// A printer of its own on loopback: what each connection to it brought, so that a test knows
// which queue got which bytes.
class PrinterSink
{
public:
    PrinterSink()
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_socket, reinterpret_cast<sockaddr *>(&address), length) != 0 || ::listen(m_socket, 8) != 0
            || ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~PrinterSink()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_socket);
    }
    PrinterSink(const PrinterSink &) = delete;
    PrinterSink &operator=(const PrinterSink &) = delete;

    QString uri() const { return QStringLiteral("socket://127.0.0.1:%1/?contimeout=3").arg(m_port); }
    QList<QByteArray> jobs() const
    {
        const std::lock_guard lock(m_mutex);
        return m_jobs;
    }
    QList<QByteArray> waitForJobs(int count) const
    {
        for (int i = 0; i < 100 && jobs().size() < count; ++i)
            QTest::qWait(100);
        return jobs();
    }

private:
    void serve()
    {
        while (!m_stop) {
            pollfd waiting{m_socket, POLLIN, 0};
            if (::poll(&waiting, 1, 100) <= 0)
                continue;
            const int connection = ::accept(m_socket, nullptr, nullptr);
            if (connection < 0)
                continue;
            QByteArray bytes;
            char buffer[4096];
            pollfd reading{connection, POLLIN, 0};
            while (!m_stop && ::poll(&reading, 1, 5000) > 0) {
                const ssize_t got = ::read(connection, buffer, sizeof buffer);
                if (got <= 0)
                    break;
                bytes.append(buffer, got);
            }
            ::close(connection);
            const std::lock_guard lock(m_mutex);
            m_jobs.append(bytes);
        }
    }

    int m_socket = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    QList<QByteArray> m_jobs;
    std::thread m_thread;
};

SettingsImage withValues(const QStringList &assignments)
{
    std::vector<std::string> texts;
    for (const QString &assignment : assignments)
        texts.push_back(assignment.toStdString());
    return *SettingsText::setValues(texts, SettingsImage::factory()).image;
}

QByteArray ipJob(const QStringList &assignments)
{
    const std::string job = SettingsJob::build(withValues(assignments), SettingsJob::Group::IpAddress);
    return QByteArray(job.data(), qsizetype(job.size()));
}

}  // namespace

class TestCliPlans : public QObject
{
    Q_OBJECT

    QString path(const QString &name) const { return m_files.filePath(name); }

    // Writes `text` as a plan, "NEAR" and "FAR" replaced by the servers' addresses.
    QString plan(QString text)
    {
        text.replace(QLatin1String("FAR"), m_far.tcpAddress()).replace(QLatin1String("NEAR"), m_near.tcpAddress());
        QFile file(path(QStringLiteral("plan.json")));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0)
            return {};
        return file.fileName();
    }

    // Every job any printer of either server has received.
    qsizetype received() const
    {
        qsizetype count = m_near.jobs().size() + m_far.jobs().size();
        for (const PrinterSink *sink : {&m_sink1, &m_sink2, &m_sink3})
            count += sink->jobs().size();
        return count;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_near.start(), qPrintable(m_near.error()));
        QVERIFY2(m_far.start(), qPrintable(m_far.error()));
        QVERIFY(m_near.addQueue(QStringLiteral("P1"), m_sink1.uri()));
        QVERIFY(m_near.addQueue(QStringLiteral("P2"), m_sink2.uri()));
        QVERIFY(m_far.addQueue(QStringLiteral("P3"), m_sink3.uri()));
        QVERIFY(m_far.addQueue(QStringLiteral("Sim")));
        QVERIFY(m_files.isValid());
        QCOMPARE(SettingsFile::write(path(QStringLiteral("factory.dat")).toStdString(), SettingsImage::factory()),
                 SettingsFile::WriteResult::Written);
        SettingsImage damaged = SettingsImage::factory();
        damaged[ImageLayout::kParamRecord] = 'X';
        QCOMPARE(SettingsFile::write(path(QStringLiteral("damaged.dat")).toStdString(), damaged),
                 SettingsFile::WriteResult::Written);
    }

    void planGivesEachPrinterItsOwnAddress()
    {
        const QString planned = plan(QStringLiteral(R"({"format": "sbq740-plan", "version": 1, "settings": "factory.dat",
            "groups": ["ip"], "printers": [
              {"printer": "P1@NEAR", "set": {"ip.address": "10.20.30.11", "ip.subnet_mask": "255.255.255.0"}},
              {"printer": "P2@NEAR", "set": {"ip.address": "10.20.30.12"}},
              {"printer": "P3@FAR", "set": {"ip.address": "10.20.30.13", "ip.gateway": "10.20.30.1"}}]})"));
        const Run result = runCli({"apply", "--yes", planned});
        QVERIFY2(result.code == 0, qPrintable(result.out + result.err));
        QCOMPARE(m_sink1.waitForJobs(1), QList{ipJob({"ip.address=10.20.30.11"})});
        QCOMPARE(m_sink2.waitForJobs(1), QList{ipJob({"ip.address=10.20.30.12"})});
        QCOMPARE(m_sink3.waitForJobs(1), (QList{ipJob({"ip.address=10.20.30.13", "ip.gateway=10.20.30.1"})}));
    }

    // Each refusal names the printer, the key and the value; no printer gets anything.
    void refusedBeforeAnythingIsSent_data()
    {
        QTest::addColumn<QStringList>("arguments");  // "PLAN" is the plan written from `text`
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("errors");
        const QString head = QStringLiteral(R"({"format": "sbq740-plan", "version": 1, "settings": "factory.dat", "groups": ["ip"], "printers": [)");
        const QString other = QStringLiteral(R"({"printer": "P3@FAR", "set": {"ip.address": "10.1.0.9"}}]})");
        QTest::newRow("unknown printer")
            << QStringList{"apply", "--yes", "PLAN"} << head + R"({"printer": "Nope@NEAR"}, )" + other
            << QStringList{"Nope@NEAR: no such printer"};
        QTest::newRow("unknown key")
            << QStringList{"apply", "--yes", "PLAN"} << head + R"({"printer": "P1@NEAR", "set": {"ip.nonsense": "1"}}, )" + other
            << QStringList{"P1@NEAR: ip.nonsense: \"1\": no field has this key"};
        QTest::newRow("value no rule takes")
            << QStringList{"apply", "--yes", "PLAN"} << head + R"({"printer": "P1@NEAR", "set": {"ip.address": "10.1.0.300"}}, )" + other
            << QStringList{"P1@NEAR: ip.address: \"10.1.0.300\":"};
        QTest::newRow("damaged group")
            << QStringList{"apply", "PLAN"}
            << R"({"format": "sbq740-plan", "version": 1, "settings": "damaged.dat", "groups": ["param"], "printers": [{"printer": "P1@NEAR"}]})"
            << QStringList{"P1@NEAR: param: "};
        QTest::newRow("forward standby")
            << QStringList{"apply", "PLAN"}
            << R"({"format": "sbq740-plan", "version": 1, "settings": "factory.dat", "groups": ["param"], "printers": [{"printer": "P1@NEAR", "set": {"param.forward_standby_adjustment": "1.3"}}]})"
            << QStringList{"P1@NEAR: param.forward_standby_adjustment: \"1.3\":"};
        QTest::newRow("ip without --yes")
            << QStringList{"apply", "PLAN"} << head + R"({"printer": "P1@NEAR", "set": {"ip.address": "10.1.0.8"}}, )" + other
            << QStringList{"P1@NEAR: ip: the IP address settings are sent only with --yes",
                           "P3@FAR: ip: the IP address settings are sent only with --yes"};
        QTest::newRow("same static address")
            << QStringList{"apply", "--yes", "PLAN"} << head + R"({"printer": "P1@NEAR", "set": {"ip.address": "10.1.0.9"}}, )" + other
            << QStringList{"P1@NEAR: ip.address: \"10.1.0.9\": the same static address as P3@FAR",
                           "P3@FAR: ip.address: \"10.1.0.9\": the same static address as P1@NEAR"};
        QTest::newRow("network address")
            << QStringList{"apply", "--yes", "PLAN"} << head + R"({"printer": "P1@NEAR", "set": {"ip.address": "10.1.0.0"}}, )" + other
            << QStringList{"P1@NEAR: ip.address: \"10.1.0.0\": the address is the network address of its subnet"};
        QTest::newRow("broadcast address")
            << QStringList{"apply", "--yes", "PLAN"} << head + R"({"printer": "P1@NEAR", "set": {"ip.address": "10.1.0.255"}}, )" + other
            << QStringList{"P1@NEAR: ip.address: \"10.1.0.255\": the address is the broadcast address of its subnet"};
        QTest::newRow("mask not contiguous")
            << QStringList{"apply", "--yes", "PLAN"}
            << head + R"({"printer": "P1@NEAR", "set": {"ip.address": "10.1.0.8", "ip.subnet_mask": "255.0.255.0"}}, )" + other
            << QStringList{"P1@NEAR: ip.subnet_mask: \"255.0.255.0\": the subnet mask is not contiguous"};
        QTest::newRow("gateway outside")
            << QStringList{"apply", "--yes", "PLAN"}
            << head + R"({"printer": "P1@NEAR", "set": {"ip.address": "10.1.0.8", "ip.gateway": "10.2.0.1"}}, )" + other
            << QStringList{"P1@NEAR: ip.gateway: \"10.2.0.1\": the gateway is outside the subnet of 10.1.0.8/255.255.255.0"};
        QTest::newRow("send: one static address to two printers")
            << QStringList{"send", "--group", "ip", "--yes", "--printer", "P1@NEAR", "--printer", "P3@FAR", "factory.dat"} << QString()
            << QStringList{"P1@NEAR: ip.address: \"192.168.10.20\": the same static address as P3@FAR",
                           "P3@FAR: ip.address: \"192.168.10.20\": the same static address as P1@NEAR"};
        QTest::newRow("send --all: one static address to the server's printers")
            << QStringList{"send", "--group", "ip", "--yes", "--all", "--server", "FAR", "factory.dat"} << QString()
            << QStringList{"P3@FAR: ip.address: \"192.168.10.20\": the same static address as ",
                           "Sim@FAR: ip.address: \"192.168.10.20\": the same static address as "};
    }

    void refusedBeforeAnythingIsSent()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, text);
        QFETCH(QStringList, errors);
        for (QString &argument : arguments) {
            if (argument == QLatin1String("PLAN"))
                argument = plan(text);
            else if (argument.endsWith(QLatin1String(".dat")))
                argument = path(argument);
            argument.replace(QLatin1String("FAR"), m_far.tcpAddress()).replace(QLatin1String("NEAR"), m_near.tcpAddress());
        }
        for (QString &error : errors)
            error.replace(QLatin1String("FAR"), m_far.tcpAddress()).replace(QLatin1String("NEAR"), m_near.tcpAddress());
        const qsizetype before = received();
        const Run result = runCli(arguments);
        QCOMPARE(result.code, 3);
        const QStringList lines = result.err.split(u'\n', Qt::SkipEmptyParts);
        for (const QString &error : errors)
            QVERIFY2(!lines.filter(error).isEmpty(), qPrintable(result.err));
        QCOMPARE(lines.last(), QStringLiteral("Nothing was sent."));
        QTest::qWait(500);
        QCOMPARE(received(), before);
    }

    // A dry run shows each printer's own fields and its jobs' digests, writes the jobs with
    // --jobs DIR, and sends nothing even for the IP group without --yes.
    void dryRunShowsTheJobs()
    {
        const QString planned = plan(QStringLiteral(R"({"format": "sbq740-plan", "version": 1, "settings": "factory.dat",
            "groups": ["fine", "ip"], "printers": [
              {"printer": "P1@NEAR", "set": {"ip.address": "10.20.30.11"}},
              {"printer": "P3@FAR", "set": {"ip.address": "10.20.30.13"}, "groups": ["ip"]}]})"));
        QTemporaryDir jobs;
        const qsizetype before = received();
        const Run result = runCli({"apply", "--dry-run", "--jobs", jobs.path(), planned});
        QVERIFY2(result.code == 0, qPrintable(result.err));

        const auto digest = [](const QByteArray &bytes) {
            return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
        };
        const std::string fine = SettingsJob::build(SettingsImage::factory(), SettingsJob::Group::FineAdjustment);
        const QByteArray fineJob(fine.data(), qsizetype(fine.size()));
        const QByteArray ip1 = ipJob({"ip.address=10.20.30.11"});
        const QByteArray ip3 = ipJob({"ip.address=10.20.30.13"});
        const QString near = "P1@" + m_near.tcpAddress();
        const QString far = "P3@" + m_far.tcpAddress();
        QCOMPARE(result.out.split(u'\n', Qt::SkipEmptyParts),
                 (QStringList{near + ":", "  ip.address: 192.168.10.20 -> 10.20.30.11", "  job fine: sha256 " + digest(fineJob),
                              "  job ip: sha256 " + digest(ip1), far + ":", "  ip.address: 192.168.10.20 -> 10.20.30.13",
                              "  job ip: sha256 " + digest(ip3), "Dry run: nothing was sent."}));
        const auto written = [&jobs](const QString &name) {
            QFile file(jobs.filePath(QString(name).replace(u':', u'_')));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        QCOMPARE(written(near + ".fine.bin"), fineJob);
        QCOMPARE(written(near + ".ip.bin"), ip1);
        QCOMPARE(written(far + ".ip.bin"), ip3);
        QCOMPARE(QDir(jobs.path()).entryList(QDir::Files).size(), 3);
        QTest::qWait(500);
        QCOMPARE(received(), before);
    }

private:
    PrinterSink m_sink1;
    PrinterSink m_sink2;
    PrinterSink m_sink3;
    PrivateCups m_near;
    PrivateCups m_far;
    QTemporaryDir m_files;
};

QTEST_GUILESS_MAIN(TestCliPlans)
#include "tst_cli_plans.moc"
