// sbq740-cli as an operator runs it, against a private CUPS server and the simulated printer.
#include "FakeScheduler.h"
#include "PrivateCups.h"
#include "res/Strings.h"
#include "settings/SettingsFile.h"
#include "spooler/SettingsJob.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <cups/cups.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <thread>

#include <unistd.h>

namespace {

struct Run
{
    int code = -1;
    QString out;
    QString err;
};

// The program run to its end; `environment` changes the test's own, `output` is a file for its
// standard output instead of a pipe.
Run runCli(const QStringList &arguments, const QStringList &environment = {}, const QString &output = {})
{
    QProcess process;
    QProcessEnvironment changed = QProcessEnvironment::systemEnvironment();
    for (const QString &setting : environment)
        changed.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
    process.setProcessEnvironment(changed);
    if (!output.isEmpty())
        process.setStandardOutputFile(output);
    process.start(QStringLiteral(SBQ_CLI), arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

// How many jobs named `title` the scheduler keeps for `queue`, finished ones included.
int jobsNamed(const QString &queue, const char *title)
{
    cups_job_t *jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.toUtf8().constData(), 0, CUPS_WHICHJOBS_ALL);
    int named = 0;
    for (int i = 0; i < count; ++i)
        named += qstrcmp(jobs[i].title, title) == 0 ? 1 : 0;
    cupsFreeJobs(count, jobs);
    return named;
}

// A loopback address where nothing listens.
QString closedAddress()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost))
        return {};
    const QString address = QStringLiteral("127.0.0.1:") + QString::number(server.serverPort());
    server.close();
    return address;
}

// The ledger's records, oldest first.
QList<QJsonObject> ledgerRecords(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QJsonObject> records;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (!line.isEmpty())
            records << QJsonDocument::fromJson(line).object();
    }
    return records;
}

QString sha256Of(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

SettingsImage editedImage()
{
    SettingsImage image = SettingsImage::factory();
    image[46] = 'F';                                      // cut speed: high speed
    for (const auto &[offset, c] : {std::pair{55, '-'}, {56, '1'}, {57, '2'}, {58, '3'}})
        image[static_cast<std::size_t>(offset)] = c;      // feed: forward 12.3 mm
    image[108] = '1';                                     // IP address 192.168.10.21
    image[226] = '3';                                     // tag rotation: normal and mirrored
    return image;
}

const QStringList kFactoryShown{
    "[パラメータ設定]",
    "  自動正転待機切り換え: なし(Y)",
    "  正転待機位置微調(T): 0.0 mm",
    "  [FEED]キー機能: フィード(O)",
    "  電源投入時の自動断線チェック: なし(D)",
    "  セントロニクスタイミング: TYPE1(1)",
    "  ｎInit信号ON時のリセット処理: なし(Q)",
    "  リボンニアエンド検出: リボンエンド検出なし(0)",
    "  プラグ＆プレイ動作: なし(K)",
    "  ラベルエンド／リボンエラー処理: 印刷途中で停止(Z)",
    "  プレハクリ処理: なし(C)",
    "  バックフィード速度: 3ips(B)",
    "  カット速度: 標準モード(4)",
    "[微調設定]",
    "  フィード量微調(N): 後方 0.0 mm",
    "  カット（ハクリ）位置微調(C): 後方 0.0 mm",
    "  バックフィード量微調(B): 後方 0.0 mm",
    "  X座標微調(X): 右側 0.0 mm",
    "  印刷濃度微調(転写モード)(1): 0 ステップ",
    "  印刷濃度微調(発色モード)(2): 0 ステップ",
    "  リボン巻取りモータ電圧微調(R): 0 ステップ",
    "  リボンバックテンションモータ電圧微調(V): 0 ステップ",
    "  反射センサー手動スレッショルド(E): 1.0 V",
    "  透過センサー手動スレッショルド(P): 1.4 V",
    "[IPアドレス設定]",
    "  IPアドレス(I): 192.168.10.20",
    "  ゲートウェイ(G): 0.0.0.0",
    "  サブネットマスク(S): 255.255.255.0",
    "  ソケット通信ポート設定: 通信有効(Y)",
    "  ポート番号(P): 9100",
    "  DHCP機能設定: DHCP機能無効(E)",
    "  入力タイプ(T): ASCII(A)",
    "  クライアントID(C):",
    "[発行制御設定]",
    "  停止位置制御: モード1(1)",
    "  センサー(S): ドライバ設定優先",
    "  印刷方法(D): ドライバ設定優先",
    "  印刷速度(Q): ドライバ設定優先",
    "  カット(C): ドライバ設定優先",
    "  タグローテーション(T): ドライバ設定優先",
    "  ステータス自動応答(R): あり",
};

}  // namespace

class TestCliIntegration : public QObject
{
    Q_OBJECT

    QString path(const char *name) const { return m_files.filePath(QLatin1String(name)); }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_cups.start(), qPrintable(m_cups.error()));
        for (const char *queue : {"Line_A", "Line_B", "Line_C"})
            QVERIFY(m_cups.addQueue(QLatin1String(queue)));
        QVERIFY(m_cups.addQueue(QStringLiteral("Line_File"), QStringLiteral("file:/dev/null")));
        QVERIFY(m_cups.addQueue(QStringLiteral("Line_Other"), QStringLiteral("sim"), QStringLiteral("QAV Quillotron 740Q3")));

        QVERIFY(m_files.isValid());
        QCOMPARE(SettingsFile::write(path("factory.dat").toStdString(), SettingsImage::factory()),
                 SettingsFile::WriteResult::Written);
        QCOMPARE(SettingsFile::write(path("edited.dat").toStdString(), editedImage()), SettingsFile::WriteResult::Written);
    }

    void printersListsTheUsableQueuesByName()
    {
        const Run result = runCli({"printers"});
        QCOMPARE(result.code, 0);
        QStringList names;
        for (const QString &line : result.out.split(u'\n', Qt::SkipEmptyParts)) {
            names << line.section(u'\t', 0, 0);
            if (names.last() == QLatin1String("Line_File"))
                QCOMPARE(line.section(u'\t', 1), QStringLiteral("FILE:"));
        }
        QCOMPARE(names, (QStringList{"Line_A", "Line_B", "Line_C", "Line_File", PrivateCups::kDefaultQueue}));
    }

    void sendToThreePrintersDeliversThreeIdenticalJobs()
    {
        const qsizetype before = m_cups.jobs().size();
        const Run result = runCli({"send", "--group", "issue", "--printer", "Line_A", "--printer", "Line_B",
                                   "--printer", "Line_C", path("edited.dat")});
        QCOMPARE(result.code, 0);
        QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.takeLast(), QStringLiteral("Delivered \"Setbridge Status Write\" to 3 of 3 printers."));
        lines.sort();  // each line comes when its job has ended
        QCOMPARE(lines, (QStringList{"Line_A: delivered", "Line_B: delivered", "Line_C: delivered"}));
        QCOMPARE(result.err.split(u'\n', Qt::SkipEmptyParts),
                 (QStringList{"[1/3] Line_A", "[2/3] Line_B", "[3/3] Line_C"}));

        const QList<QByteArray> jobs = m_cups.waitForJobs(int(before) + 3);
        QCOMPARE(jobs.size(), before + 3);
        const std::string expected = SettingsJob::build(editedImage(), SettingsJob::Group::IssueControl);
        for (qsizetype i = before; i < jobs.size(); ++i)
            QCOMPARE(jobs[i], QByteArray(expected.data(), qsizetype(expected.size())));
        for (const char *queue : {"Line_A", "Line_B", "Line_C"})
            QCOMPARE(jobsNamed(QLatin1String(queue), Str::kSettingsJobName), 1);
    }

    void fileConnectionAmongThePrintersIsRefused()
    {
        const qsizetype before = m_cups.jobs().size();
        const Run result = runCli({"send", "--group", "fine", "--printer", "Line_A", "--printer", "Line_File",
                                   "--printer", "Line_Other", "--printer", "Line_B", path("factory.dat")});
        QCOMPARE(result.code, 1);
        QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.takeLast(), QStringLiteral("Delivered \"Setbridge Status Write\" to 2 of 4 printers; 0 queued, 2 failed."));
        lines.sort();
        QCOMPARE(lines, (QStringList{"Line_A: delivered", "Line_B: delivered",
                                     "Line_File: failed (" + QString::fromUtf8(Str::kFileConnectionRefused) + ")",
                                     "Line_Other: failed (not a QAV Quillotron 740Q2 (its model is 'QAV Quillotron 740Q3'))"}));
        QCOMPARE(m_cups.waitForJobs(int(before) + 2).size(), before + 2);
        QCOMPARE(jobsNamed(QStringLiteral("Line_File"), Str::kSettingsJobName), 0);
        QCOMPARE(jobsNamed(QStringLiteral("Line_Other"), Str::kSettingsJobName), 0);
    }

    void showListsEveryFieldOfTheFactoryFile()
    {
        const Run result = runCli({"show", path("factory.dat")});
        QCOMPARE(result.code, 0);
        QCOMPARE(result.out.split(u'\n', Qt::SkipEmptyParts), kFactoryShown);
    }

    void diffFindsExactlyTheEditedFields()
    {
        const Run edited = runCli({"diff", path("factory.dat"), path("edited.dat")});
        QCOMPARE(edited.code, 1);
        QCOMPARE(edited.out.split(u'\n', Qt::SkipEmptyParts),
                 (QStringList{"[パラメータ設定]", "  カット速度: 標準モード(4) -> 高速モード(5)",
                              "[微調設定]", "  フィード量微調(N): 後方 0.0 mm -> 前方 12.3 mm",
                              "[IPアドレス設定]", "  IPアドレス(I): 192.168.10.20 -> 192.168.10.21",
                              "[発行制御設定]", "  タグローテーション(T): ドライバ設定優先 -> 通常 + ミラー印刷"}));

        const Run same = runCli({"diff", path("edited.dat"), path("edited.dat")});
        QCOMPARE(same.code, 0);
        QCOMPARE(same.out, QString());
    }

    void headCheckJobReachesThePrinter()
    {
        const qsizetype before = m_cups.jobs().size();
        const Run result = runCli({"headcheck", "--printer", "Line_C"});
        QCOMPARE(result.code, 0);
        const QList<QByteArray> jobs = m_cups.waitForJobs(int(before) + 1);
        QCOMPARE(jobs.size(), before + 1);
        QCOMPARE(jobs.last(), QByteArray("\x1bHD001,A\n", 9) + QByteArray(251, '\0'));
        QCOMPARE(jobsNamed(QStringLiteral("Line_C"), Str::kHeadCheckJobName), 1);
    }

    // One run reaches printers of two print servers: named QUEUE@HOST, or all of a server's.
    void printersOfTwoServers()
    {
        PrivateCups far;
        QVERIFY2(far.start(), qPrintable(far.error()));
        qputenv("CUPS_SERVER", m_cups.server().toLocal8Bit());  // the first server stays the configured one
        QVERIFY(far.addQueue(QStringLiteral("Far_A")));
        const QString farServer = far.tcpAddress();
        const qsizetype nearBefore = m_cups.jobs().size();

        const Run mixed = runCli({"send", "--group", "issue", "--printer", "Line_A", "--printer", "Far_A@" + farServer,
                                  path("edited.dat")});
        QCOMPARE(mixed.code, 0);
        QStringList lines = mixed.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.takeLast(), QStringLiteral("Delivered \"Setbridge Status Write\" to 2 of 2 printers."));
        lines.sort();
        QCOMPARE(lines, (QStringList{"Far_A@" + farServer + ": delivered", "Line_A: delivered"}));
        QCOMPARE(m_cups.waitForJobs(int(nearBefore) + 1).size(), nearBefore + 1);
        QCOMPARE(far.waitForJobs(1).size(), 1);

        const Run listed = runCli({"printers", "--server", farServer});
        QCOMPARE(listed.code, 0);
        QStringList names;
        for (const QString &line : listed.out.split(u'\n', Qt::SkipEmptyParts))
            names << line.section(u'\t', 0, 0);
        const QStringList farNames{"Far_A@" + farServer, QString(PrivateCups::kDefaultQueue) + '@' + farServer};
        QCOMPARE(names, farNames);

        const Run all = runCli({"send", "--group", "fine", "--all", "--server", farServer, path("factory.dat")});
        QCOMPARE(all.code, 0);
        lines = all.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.takeLast(), QStringLiteral("Delivered \"Setbridge Status Write\" to 2 of 2 printers."));
        lines.sort();
        QCOMPARE(lines, (QStringList{farNames[0] + ": delivered", farNames[1] + ": delivered"}));
        QCOMPARE(far.waitForJobs(3).size(), 3);
    }

    // A stopped queue keeps the job pending: it is reported queued, with the queue's own reason,
    // and a queue that rejects jobs is reported as such.
    void pendingAndRejectedJobsAreNotDelivered()
    {
        QVERIFY(m_cups.addQueue(QStringLiteral("Line_Stopped")));
        m_cups.run(QStringLiteral("cupsdisable"), {QStringLiteral("Line_Stopped")});
        QVERIFY(m_cups.rejectJobs(QStringLiteral("Line_C")));
        const QString ledger = path("pending.jsonl");
        const Run result = runCli({"headcheck", "--printer", "Line_Stopped", "--printer", "Line_C", "--printer", "Line_B",
                                   "--wait", "2"},
                                  {"SBQ740_LEDGER=" + ledger});
        QVERIFY(m_cups.acceptJobs(QStringLiteral("Line_C")));
        QVERIFY(m_cups.removeQueue(QStringLiteral("Line_Stopped")));

        QCOMPARE(result.code, 1);
        const QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(lines.contains(QStringLiteral("Line_Stopped: queued (paused)")), qPrintable(result.out));
        QVERIFY2(lines.contains(QStringLiteral("Line_B: delivered")), qPrintable(result.out));
        QVERIFY2(lines.filter(QStringLiteral("Line_C: failed (the queue is rejecting jobs")).size() == 1, qPrintable(result.out));
        QVERIFY(lines.contains(QStringLiteral("Delivered \"Setbridge Check\" to 1 of 3 printers; 1 queued, 1 failed.")));
        // The ledger says what the line said.
        const QList<QJsonObject> records = ledgerRecords(ledger);
        QVERIFY(!records.isEmpty());
        const QJsonObject last = records.constLast();
        QCOMPARE(last.value("printer").toString() + ' ' + last.value("outcome").toString() + ' ' + last.value("reason").toString(),
                 QStringLiteral("Line_Stopped queued paused"));
    }

    // Ctrl-C while a job is still pending: the run ends at once with what it knows, exit code 130.
    void interruptEndsTheRunWithItsSummary()
    {
        QVERIFY(m_cups.addQueue(QStringLiteral("Line_Held")));
        m_cups.run(QStringLiteral("cupsdisable"), {QStringLiteral("Line_Held")});
        QProcess process;
        process.start(QStringLiteral(SBQ_CLI), {"headcheck", "--printer", "Line_Held", "--printer", "Line_A", "--wait", "60"});
        QVERIFY(process.waitForStarted());
        QByteArray out;
        QDeadlineTimer deadline(std::chrono::seconds(30));
        while (!out.contains("Line_A: delivered") && !deadline.hasExpired() && process.state() == QProcess::Running) {
            process.waitForReadyRead(200);
            out += process.readAllStandardOutput();
        }
        ::kill(static_cast<pid_t>(process.processId()), SIGINT);
        QVERIFY(process.waitForFinished(20000));
        out += process.readAllStandardOutput();
        QVERIFY(m_cups.removeQueue(QStringLiteral("Line_Held")));

        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 130);
        const QStringList lines = QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.mid(0, 4), (QStringList{"Line_A: delivered", "Line_Held: queued (interrupted while it was pending: paused)",
                                               "Delivered \"Setbridge Check\" to 1 of 2 printers; 1 queued, 0 failed.",
                                               "Interrupted."}));
    }

    void notFollowedSaysSo()
    {
        const Run result = runCli({"headcheck", "--no-wait", "--printer", "Line_B"});
        QCOMPARE(result.code, 0);
        QCOMPARE(result.out.split(u'\n').mid(0, 2),
                 (QStringList{"Line_B: accepted by the spooler (delivery not followed)",
                              "Handed \"Setbridge Check\" to the spooler for 1 of 1 printer; delivery not followed."}));
    }

    // Settings as text, as an operator keeps them: export, edit with set, import, show the text.
    void settingsAsTextThroughTheProgram()
    {
        const Run exported = runCli({"export", path("edited.dat")});
        QCOMPARE(exported.code, 0);
        QFile json(path("edited.json"));
        QVERIFY(json.open(QIODevice::WriteOnly));
        json.write(exported.out.toUtf8());
        json.close();
        const Run imported = runCli({"import", path("edited.json"), "-o", path("imported.dat")});
        QCOMPARE(imported.code, 0);
        QCOMPARE(SettingsFile::read(path("imported.dat").toStdString()), std::optional(editedImage()));

        const Run set = runCli({"set", path("imported.dat"), "fine.feed=60", "issue.tag_rotation=driver"});
        QCOMPARE(set.code, 0);
        QCOMPARE(set.out.split(u'\n', Qt::SkipEmptyParts),
                 (QStringList{"fine.feed: \"60\" -> \"50.0\" (the page's input rule)", "Wrote " + path("imported.dat") + "."}));
        const Run diff = runCli({"diff", path("edited.json"), path("imported.dat")});
        QCOMPARE(diff.code, 1);
        QCOMPARE(diff.out.split(u'\n', Qt::SkipEmptyParts),
                 (QStringList{"[微調設定]", "  フィード量微調(N): 前方 12.3 mm -> 前方 50.0 mm",
                              "[発行制御設定]", "  タグローテーション(T): 通常 + ミラー印刷 -> ドライバ設定優先"}));

        const Run refused = runCli({"set", path("imported.dat"), "ip.address=192.168.10.256"});
        QCOMPARE(refused.code, 3);
        QCOMPARE(refused.err, path("imported.dat") + ": ip.address: \"192.168.10.256\": a part is above 255\nNothing was written.\n");
    }

    void fileThatIsNotASettingsFile()
    {
        const Run result = runCli({"show", "--json", QStringLiteral(SBQ_CLI)});
        QCOMPARE(result.code, 2);
        QCOMPARE(result.out, QString());
        QCOMPARE(result.err, QStringLiteral(SBQ_CLI) + ": " + QString::fromUtf8(Str::kNotASettingsFile) + '\n');
    }

    // Every print server named gets an outcome, with its own reason; listing them all costs
    // one wait, however many are silent.
    void serversThatFailGetALineOfTheirOwn()
    {
        FakeScheduler garbage;
        QVERIFY(garbage.start({"garbage"}));
        FakeScheduler silent;
        QVERIFY(silent.start({"silent"}));
        const QString closed = closedAddress();
        QElapsedTimer clock;
        clock.start();
        const Run result = runCli({"send", "--group", "fine", "--all", "--server", m_cups.tcpAddress(), "--server", closed,
                                   "--server", garbage.address(), "--server", silent.address(), path("factory.dat")});
        QVERIFY2(clock.elapsed() < 2 * kDeadlineMs, qPrintable(QString::number(clock.elapsed())));

        QCOMPARE(result.code, 1);
        QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
        const QString summary = lines.takeLast();
        QCOMPARE(lines.mid(0, 3), (QStringList{closed + ": failed (the print server can't be reached)",
                                               garbage.address() + ": failed (the print server gave no usable answer)",
                                               silent.address() + ": failed (the print server did not answer in time)"}));
        const qsizetype delivered = lines.filter(QStringLiteral(": delivered")).size();
        QVERIFY2(delivered >= 4 && delivered == lines.size() - 3, qPrintable(result.out));
        QCOMPARE(summary, QStringLiteral("Delivered \"Setbridge Status Write\" to %1 of %1 printers; 3 print servers failed.")
                              .arg(delivered));
    }

    // A print server that can't be reached is named, the configured one too, and is not taken
    // for one without printers.
    void unreachableServersAreNamed_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("configured");  // CUPS_SERVER names the closed address
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");

        QTest::newRow("printers, configured server") << QStringList{"printers"} << true << QString()
                                                     << "sbq740-cli: the print server 'CLOSED' can't be reached\n";
        QTest::newRow("printers --server") << QStringList{"printers", "--server", "CLOSED"} << false << QString()
                                           << "sbq740-cli: the print server 'CLOSED' can't be reached\n";
        QTest::newRow("a printer of the configured server")
            << QStringList{"headcheck", "--printer", "Line_A"} << true
            << "Line_A: failed (the print server 'CLOSED' can't be reached)\n"
               "Delivered \"Setbridge Check\" to 0 of 1 printer; 0 queued, 1 failed.\n"
            << QString();
        QTest::newRow("QUEUE@HOST") << QStringList{"headcheck", "--printer", "Line_A@CLOSED"} << false
                                    << "Line_A@CLOSED: failed (the print server can't be reached)\n"
                                       "Delivered \"Setbridge Check\" to 0 of 1 printer; 0 queued, 1 failed.\n"
                                    << QString();
    }

    void unreachableServersAreNamed()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, configured);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const QString closed = closedAddress();
        arguments.replaceInStrings(QStringLiteral("CLOSED"), closed);
        const Run result = runCli(arguments, configured ? QStringList{"CUPS_SERVER=" + closed} : QStringList{});
        QCOMPARE(result.code, 1);
        QCOMPARE(result.out, QString(out).replace(QStringLiteral("CLOSED"), closed));
        QCOMPARE(result.err, QString(err).replace(QStringLiteral("CLOSED"), closed));
    }

    // A server that lists its printers and then stops answering costs one wait: its other
    // printers fail at once, and the healthy server's printer is not held up any longer.
    void aFrozenServerCostsOneWait()
    {
        FakeScheduler frozen;
        QVERIFY(frozen.start({"frozen-from", "0005", "F1", "F2", "F3"}));
        const QString at = '@' + frozen.address();
        QElapsedTimer clock;
        clock.start();
        const Run result = runCli({"headcheck", "--printer", "F1" + at, "--printer", "Line_A", "--printer", "F2" + at,
                                   "--printer", "F3" + at});
        QVERIFY2(clock.elapsed() < 2 * kDeadlineMs, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(result.code, 1);
        const QString noAnswer = QStringLiteral(": failed (the print server did not answer in time)");
        QStringList lines = result.out.split(u'\n').mid(0, 5);
        QCOMPARE(lines.takeLast(), QStringLiteral("Delivered \"Setbridge Check\" to 1 of 4 printers; 0 queued, 3 failed."));
        lines.sort();  // each line comes when its job has ended
        QCOMPARE(lines, (QStringList{"F1" + at + noAnswer, "F2" + at + noAnswer, "F3" + at + noAnswer, "Line_A: delivered"}));
        QCOMPARE(frozen.requests().count(QStringLiteral("0005 ")), 1);
    }

    // Ctrl-C acts within a second whatever the print server keeps the run waiting for, and the
    // exit code is 130 with an "Interrupted" line; a second Ctrl-C ends the program at once.
    void interruptActsWithinASecond_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("behaviour");
        QTest::addColumn<QString>("operation");  // the request the scheduler keeps waiting
        QTest::addColumn<int>("interrupts");
        QTest::addColumn<QString>("lastOut");
        QTest::addColumn<QString>("lastErr");

        QTest::newRow("listing the printers") << QStringList{"printers", "--server", "FAKE"} << QStringList{"silent"}
                                              << "4002" << 1 << QString() << "Interrupted.";
        QTest::newRow("listing for --all")
            << QStringList{"send", "--group", "fine", "--all", "--server", "FAKE", "--server", "FAKE2", "FILE"}
            << QStringList{"silent"} << "4002" << 1 << "Interrupted." << QString();
        QTest::newRow("submitting") << QStringList{"headcheck", "--printer", "F1@FAKE", "--printer", "F2@FAKE"}
                                    << QStringList{"frozen-from", "0005", "F1", "F2"} << "0005" << 1
                                    << "Interrupted: 1 printer not started." << QString();
        QTest::newRow("following") << QStringList{"headcheck", "--printer", "F1@FAKE", "--wait", "60"}
                                   << QStringList{"frozen-from", "000a", "F1"} << "000a" << 1 << "Interrupted."
                                   << QString();
        QTest::newRow("second Ctrl-C") << QStringList{"headcheck", "--printer", "F1@FAKE", "--wait", "60"}
                                       << QStringList{"frozen-from", "000a", "F1"} << "000a" << 2 << QString()
                                       << "Interrupted.";
    }

    void interruptActsWithinASecond()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, behaviour);
        QFETCH(QString, operation);
        QFETCH(int, interrupts);
        QFETCH(QString, lastOut);
        QFETCH(QString, lastErr);
        FakeScheduler scheduler;
        QVERIFY(scheduler.start(behaviour));
        FakeScheduler another;
        QVERIFY(another.start(behaviour));
        arguments.replaceInStrings(QStringLiteral("FAKE2"), another.address())
            .replaceInStrings(QStringLiteral("FAKE"), scheduler.address())
            .replaceInStrings(QStringLiteral("FILE"), path("factory.dat"));

        QProcess process;
        process.start(QStringLiteral(SBQ_CLI), arguments);
        QVERIFY(process.waitForStarted());
        QVERIFY(scheduler.waitForRequest(operation));
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < interrupts; ++i) {
            if (i > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));  // two signals, not one
            ::kill(static_cast<pid_t>(process.processId()), SIGINT);
        }
        QVERIFY(process.waitForFinished(kDeadlineMs));
        QVERIFY2(clock.elapsed() < 1000 + kSlackMs, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 130);
        const QStringList out = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        const QStringList err = QString::fromUtf8(process.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(out.value(out.size() - 1), lastOut);
        if (!lastErr.isEmpty())
            QCOMPARE(err.value(err.size() - 1), lastErr);
    }

    // Every job is recorded: what the printer got, where, and how it ended; history lists it and
    // last-sent gives back the settings of the groups sent.
    void ledgerRecordsWhatWasSent()
    {
        const QString ledger = path("recorded.jsonl");
        const QStringList environment{"SBQ740_LEDGER=" + ledger};
        const qsizetype before = m_cups.jobs().size();
        for (const char *group : {"param", "fine", "ip", "issue"})
            QCOMPARE(runCli({"send", "--group", group, "--yes", "--printer", "Line_A", path("edited.dat")}, environment).code, 0);
        QCOMPARE(runCli({"headcheck", "--printer", "Line_B"}, environment).code, 0);
        const QList<QByteArray> jobs = m_cups.waitForJobs(int(before) + 5);
        QCOMPARE(jobs.size(), before + 5);

        const QList<QJsonObject> records = ledgerRecords(ledger);
        QCOMPARE(records.size(), 10);  // each job accepted, then delivered
        const QStringList groups{"param", "fine", "ip", "issue", "headcheck"};
        for (int i = 0; i < 5; ++i) {
            const QJsonObject accepted = records[2 * i];
            const QJsonObject delivered = records[2 * i + 1];
            QCOMPARE(accepted["outcome"].toString(), QStringLiteral("accepted"));
            QCOMPARE(accepted["group"].toString(), groups[i]);
            QCOMPARE(accepted["program"].toString(), QStringLiteral("sbq740-cli"));
            QCOMPARE(accepted["printer"].toString(), QLatin1String(i < 4 ? "Line_A" : "Line_B"));
            QCOMPARE(accepted["server"].toString(), m_cups.server());
            QCOMPARE(accepted["device_uri"].toString().isEmpty(), false);
            QCOMPARE(accepted["sha256"].toString(), sha256Of(jobs[before + i]));
            QCOMPARE(accepted["fields"].isObject(), i < 4);
            QVERIFY(QDateTime::fromString(accepted["time"].toString(), Qt::ISODate).isValid());
            QCOMPARE(delivered["outcome"].toString(), QStringLiteral("delivered"));
            QCOMPARE(delivered["job_id"].toInt(), accepted["job_id"].toInt());
        }

        const Run history = runCli({"history", "--printer", "Line_B"}, environment);
        QCOMPARE(history.code, 0);
        QCOMPARE(history.out.count(u'\n'), 2);
        QVERIFY(history.out.contains(QStringLiteral("Line_B@") + m_cups.server() + "  headcheck  job "));
        const Run json = runCli({"history", "--json", "--since", "2000-01-01"}, environment);
        QCOMPARE(QJsonDocument::fromJson(json.out.toUtf8()).array().size(), 10);
        QCOMPARE(runCli({"history", "--since", "2999-01-01"}, environment).out, QString());

        // The four groups of edited.dat were delivered: nothing would change.
        const QString lastSent = path("last-sent.json");
        QCOMPARE(runCli({"last-sent", "--printer", "Line_A"}, environment, lastSent).code, 0);
        QCOMPARE(runCli({"diff", lastSent, path("edited.dat")}).code, 0);
        // Then the factory's fine adjustments, not followed: they count as sent.
        QCOMPARE(runCli({"send", "--group", "fine", "--no-wait", "--printer", "Line_A", path("factory.dat")}, environment).code, 0);
        QCOMPARE(runCli({"last-sent", "--printer", "Line_A"}, environment, lastSent).code, 0);
        const Run diff = runCli({"diff", lastSent, path("edited.dat")});
        QCOMPARE(diff.code, 1);
        QCOMPARE(diff.out.split(u'\n', Qt::SkipEmptyParts),
                 (QStringList{"[微調設定]", "  フィード量微調(N): 後方 0.0 mm -> 前方 12.3 mm"}));
        // A printer sent only the head check has no settings on record.
        const Run none = runCli({"last-sent", "--printer", "Line_B"}, environment);
        QCOMPARE(none.code, 0);
        QVERIFY(QJsonDocument::fromJson(none.out.toUtf8()).object()["fields"].toObject().isEmpty());
    }

    // A ledger that can't be written stops no send: the job is delivered, a warning says so once.
    void ledgerThatCantBeWritten_data()
    {
        QTest::addColumn<QString>("ledger");
        QTest::newRow("full disk") << QStringLiteral("/dev/full");
        // A folder the user can't write to; root writes to any, but not into /proc.
        const QString readOnly = path("read-only");
        QDir().mkpath(readOnly);
        QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QTest::newRow("read-only folder") << (::geteuid() == 0 ? QStringLiteral("/proc") : readOnly) + "/sent.jsonl";
    }

    void ledgerThatCantBeWritten()
    {
        QFETCH(QString, ledger);
        const qsizetype before = m_cups.jobs().size();
        const Run result = runCli({"headcheck", "--printer", "Line_C"}, {"SBQ740_LEDGER=" + ledger});
        QCOMPARE(result.code, 0);
        QCOMPARE(result.out.split(u'\n', Qt::SkipEmptyParts).first(), QStringLiteral("Line_C: delivered"));
        const QStringList warnings = result.err.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings.first().startsWith("sbq740-cli: warning: the ledger " + ledger + " can't be written ("),
                 qPrintable(warnings.first()));
        QVERIFY(warnings.first().endsWith(QStringLiteral("); what is sent goes unrecorded")));
        QCOMPARE(m_cups.waitForJobs(int(before) + 1).size(), before + 1);
    }

    // Output that can't be written is an error with its reason, not a silent 1 or a success.
    void outputThatCantBeWritten_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("export") << QStringList{"export", "edited.dat"};
        QTest::newRow("set, after the file was written") << QStringList{"set", "copy.dat", "fine.feed=3"};
        QTest::newRow("a job's lines") << QStringList{"headcheck", "--printer", "Line_B"};
    }

    void outputThatCantBeWritten()
    {
        QFETCH(QStringList, arguments);
        QFile::remove(path("copy.dat"));
        QVERIFY(QFile::copy(path("edited.dat"), path("copy.dat")));
        for (QString &argument : arguments)
            argument = argument.endsWith(QLatin1String(".dat")) ? path(qPrintable(argument)) : argument;
        const Run result = runCli(arguments, {}, QStringLiteral("/dev/full"));
        QCOMPARE(result.code, 2);
        QCOMPARE(result.err, QStringLiteral("sbq740-cli: can't write to standard output: ")
                                 + QString::fromLocal8Bit(std::strerror(ENOSPC)) + '\n');
        if (arguments.first() == QLatin1String("set"))
            QVERIFY(SettingsFile::read(path("copy.dat").toStdString()) != std::optional(editedImage()));
    }

private:
    // CupsSpooler::kDeadline, and what a loaded machine may add to a wait.
    static constexpr qint64 kDeadlineMs = 12000;
    static constexpr qint64 kSlackMs = 1000;

    PrivateCups m_cups;
    QTemporaryDir m_files;
};

QTEST_GUILESS_MAIN(TestCliIntegration)
#include "tst_cli_integration.moc"
