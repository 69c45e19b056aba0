// The CUPS spooler against a private scheduler and the simulated printer.
#include "PrivateCups.h"
#include "spooler/CupsConnections.h"
#include "spooler/CupsSpooler.h"
#include "spooler/JobFollowing.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <cups/cups.h>

#include <map>

using namespace std::chrono_literals;

Q_DECLARE_METATYPE(JobOutcome::Kind)

namespace {

const QByteArray kFactoryIssueJob = QByteArray("\x1bZ2;3,0,C,C,C,C,C,1\n", 20) + QByteArray(1, '\0')
    + QByteArray("\x1bZ0\n", 4) + QByteArray(235, '\0');

std::map<std::string, SpoolerPrinter> byName(const std::vector<SpoolerPrinter> &printers)
{
    std::map<std::string, SpoolerPrinter> result;
    for (const SpoolerPrinter &printer : printers)
        result[printer.name] = printer;
    return result;
}

// The names of the jobs the scheduler keeps for `queue`, oldest first.
QStringList jobNames(const char *queue)
{
    cups_job_t *jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue, 0, CUPS_WHICHJOBS_ALL);
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(QString::fromUtf8(jobs[i].title));
    cupsFreeJobs(count, jobs);
    return names;
}

// A picture wider than tall, as the test label is, white with an L-shaped mark in its top-left
// corner and one dot in its bottom-right corner: rotated, moved or scaled, it would not come out
// pixel for pixel.
RgbImage markedPicture(int width, int height)
{
    RgbImage picture{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool dark = (y < 3 && x < 10) || (x < 3 && y < 7) || (x == width - 1 && y == height - 1);
            picture.pixels.append(3, dark ? '\0' : '\xff');
        }
    }
    return picture;
}

// The state the scheduler keeps for job `id`: "completed", "canceled", "pending", ...
QString stateOfJob(int id)
{
    cups_job_t *jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    QString state;
    for (int i = 0; i < count; ++i) {
        if (jobs[i].id == id)
            state = QString::fromUtf8(ippEnumString("job-state", jobs[i].state));
    }
    cupsFreeJobs(count, jobs);
    return state;
}

// A loopback port that nothing listens on.
int closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    const int port = server.serverPort();
    server.close();
    return port;
}

bool isDark(const RgbImage &picture, int x, int y)
{
    return x < picture.width && y < picture.height
           && picture.pixels[picture.rowBytes() * std::size_t(y) + std::size_t(x) * RgbImage::kBytesPerPixel] == '\0';
}

}  // namespace

class TestCupsSpooler : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void listsEveryQueueWithItsFacts_data();
    void listsEveryQueueWithItsFacts();
    void rawJobArrivesByteForByte();
    void jobCarriesItsNameInTheJobList();
    void refusedJobsReportFailure_data();
    void refusedJobsReportFailure();
    void unreachableSchedulerListsNothing();
    void silentSchedulerIsGivenUpOnInTime();
    void silentConfiguredSchedulerIsGivenUpOnInTime();
    void pictureLandsOnTheOriginThroughARasterDriver_data();
    void pictureLandsOnTheOriginThroughARasterDriver();
    void settingsQueueTakesRawJobsOnly_data();
    void settingsQueueTakesRawJobsOnly();
    void settingsQueueGetsNoPictureJob();
    void followedJobs_data();
    void followedJobs();
    void pendingJobsOnSeveralQueuesTellTheirOwnReasons();
    void keptConnectionIsHandedOutOnlyWhileFit_data();
    void keptConnectionIsHandedOutOnlyWhileFit();

private:
    PrivateCups m_cups;
};

void TestCupsSpooler::initTestCase()
{
    QVERIFY2(m_cups.start(), qPrintable(m_cups.error()));
    QVERIFY(m_cups.addQueue("Second_740Q2"));
    QVERIFY(m_cups.addQueue("Other_Model", "sim", "QAV Quillotron 740Q3"));
    QVERIFY(m_cups.addQueue("Upper_Case", "sim", "QAV QUILLOTRON 740Q2"));
    QVERIFY(m_cups.addQueue("File_Printer", "file:/dev/null"));
    QVERIFY(m_cups.addQueue("Local_Ipp", "ipp://localhost:1/printers/none"));
    QVERIFY(m_cups.addQueue("Rejecting", "sim"));
    QVERIFY(m_cups.rejectJobs("Rejecting"));
    QVERIFY(m_cups.addQueue("Not_For_Me", "sim"));
    m_cups.run("lpadmin", {"-p", "Not_For_Me", "-u", "allow:nobody"});
    QVERIFY2(m_cups.error().isEmpty(), qPrintable(m_cups.error()));
}

void TestCupsSpooler::listsEveryQueueWithItsFacts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("connection");  // empty: the simulator's socket URI
    QTest::addColumn<QString>("driver");
    QTest::addColumn<bool>("usable");

    const QString model = PrivateCups::kModel;
    QTest::newRow("supported") << PrivateCups::kDefaultQueue << QString() << model << true;
    QTest::newRow("second") << "Second_740Q2" << QString() << model << true;
    QTest::newRow("other model") << "Other_Model" << QString() << "QAV Quillotron 740Q3" << true;
    QTest::newRow("upper case") << "Upper_Case" << QString() << "QAV QUILLOTRON 740Q2" << true;
    QTest::newRow("file device") << "File_Printer" << "FILE:" << model << true;
    QTest::newRow("local ipp") << "Local_Ipp" << "ipp://localhost:1/printers/none" << model << true;
    QTest::newRow("rejecting jobs") << "Rejecting" << QString() << model << false;
    QTest::newRow("refused to this user") << "Not_For_Me" << QString() << model << false;
}

void TestCupsSpooler::listsEveryQueueWithItsFacts()
{
    QFETCH(QString, name);
    QFETCH(QString, connection);
    QFETCH(QString, driver);
    QFETCH(bool, usable);

    CupsSpooler spooler;
    const auto printers = byName(spooler.printers().printers);
    const auto found = printers.find(name.toStdString());
    QVERIFY2(found != printers.end(), qPrintable(name));
    const SpoolerPrinter &printer = found->second;
    if (connection.isEmpty())
        QVERIFY2(QString::fromStdString(printer.connection).startsWith("socket://127.0.0.1:"), printer.connection.c_str());
    else
        QCOMPARE(QString::fromStdString(printer.connection), connection);
    QCOMPARE(QString::fromStdString(printer.driver), driver);
    QCOMPARE(printer.usable, usable);
}

void TestCupsSpooler::rawJobArrivesByteForByte()
{
    const int before = static_cast<int>(m_cups.jobs().size());
    CupsSpooler spooler;
    QVERIFY(spooler.writeRawJob(PrivateCups::kDefaultQueue, "Setbridge Status Write",
                                std::string_view(kFactoryIssueJob.constData(), static_cast<std::size_t>(kFactoryIssueJob.size()))));
    const QList<QByteArray> jobs = m_cups.waitForJobs(before + 1);
    QCOMPARE(jobs.size(), before + 1);
    QCOMPARE(jobs.last().size(), 260);
    QCOMPARE(jobs.last(), kFactoryIssueJob);
}

void TestCupsSpooler::jobCarriesItsNameInTheJobList()
{
    const int before = static_cast<int>(m_cups.jobs().size());
    CupsSpooler spooler;
    QVERIFY(spooler.writeRawJob("Second_740Q2", "Setbridge Status Write", "\x1bZ0\n"));
    QCOMPARE(jobNames("Second_740Q2").value(0), QStringLiteral("Setbridge Status Write"));
    QCOMPARE(m_cups.waitForJobs(before + 1).size(), before + 1);
}

void TestCupsSpooler::refusedJobsReportFailure_data()
{
    QTest::addColumn<QString>("queue");
    QTest::newRow("rejecting jobs") << "Rejecting";
    QTest::newRow("no such queue") << "No_Such_Queue";
}

void TestCupsSpooler::refusedJobsReportFailure()
{
    QFETCH(QString, queue);
    const int before = static_cast<int>(m_cups.jobs().size());
    CupsSpooler spooler;
    QVERIFY(!spooler.writeRawJob(queue.toStdString(), "Setbridge Status Write", "\x1bZ0\n"));
    QTest::qWait(200);
    QCOMPARE(m_cups.jobs().size(), before);
}

void TestCupsSpooler::unreachableSchedulerListsNothing()
{
    CupsSpooler spooler({m_cups.folder().toStdString() + "/no-such.sock", 0}, 1s);
    const PrinterListing listing = spooler.printers();
    QVERIFY(listing.printers.empty());
    QCOMPARE(listing.error.kind, SpoolerError::Kind::Unreachable);
    QVERIFY(!spooler.writeRawJob(PrivateCups::kDefaultQueue, "Setbridge Status Write", "\x1bZ0\n"));
}

void TestCupsSpooler::silentSchedulerIsGivenUpOnInTime()
{
    // A listener that never answers: the connection succeeds, the request hangs.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    CupsSpooler spooler({"127.0.0.1", silent.serverPort()}, 500ms);

    QElapsedTimer clock;
    clock.start();
    const PrinterListing listing = spooler.printers();
    QVERIFY(listing.printers.empty());
    QCOMPARE(listing.error.kind, SpoolerError::Kind::TimedOut);
    QVERIFY(!spooler.writeRawJob(PrivateCups::kDefaultQueue, "Setbridge Status Write", "\x1bZ0\n"));
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
}

// The scheduler libcups is configured with stays silent (as a frozen cupsd does). Creating the
// job once asked libcups to look the queue up, and its fallback requests went to this scheduler on
// connections of libcups' own, waiting a minute each: a send took over two minutes.
void TestCupsSpooler::silentConfiguredSchedulerIsGivenUpOnInTime()
{
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    cupsSetServer(QStringLiteral("127.0.0.1:%1").arg(silent.serverPort()).toLatin1().constData());
    CupsSpooler spooler(500ms);

    QElapsedTimer clock;
    clock.start();
    const bool written = spooler.writeRawJob(PrivateCups::kDefaultQueue, "Setbridge Status Write", "\x1bZ0\n");
    const qint64 elapsed = clock.elapsed();
    cupsSetServer(m_cups.server().toLocal8Bit().constData());

    QVERIFY(!written);
    QVERIFY2(elapsed < 5000, qPrintable(QString::number(elapsed)));
}

// The test print through a driver built on CUPS's image filters: imagetoraster renders the PNG
// into CUPS raster at the queue's resolution, and the simulated printer lays the raster out on
// its page. The picture must stand on the page's top-left device pixels, upright, one device
// pixel per picture pixel, and nothing else be inked.
void TestCupsSpooler::pictureLandsOnTheOriginThroughARasterDriver_data()
{
    QTest::addColumn<int>("dpi");
    QTest::newRow("203 dpi") << 203;
    QTest::newRow("300 dpi") << 300;
}

void TestCupsSpooler::pictureLandsOnTheOriginThroughARasterDriver()
{
    QFETCH(int, dpi);
    const QString queue = QStringLiteral("Raster_%1").arg(dpi);
    QVERIFY(m_cups.addQueue(queue));
    const QString ppd = qEnvironmentVariable("SBQ_SOURCE_DIR") + QStringLiteral("/tools/ppd/QAV-Quillotron-740Q2-raster.ppd");
    m_cups.run("lpadmin", {"-p", queue, "-P", ppd, "-o", QStringLiteral("Resolution=%1dpi").arg(dpi)});
    QVERIFY2(m_cups.error().isEmpty(), qPrintable(m_cups.error()));

    const QDir jobs(m_cups.jobsFolder());
    const QStringList pagesBefore = jobs.entryList({QStringLiteral("job-*-page1.pgm")}, QDir::Files, QDir::Name);
    const RgbImage picture = markedPicture(120, 48);
    CupsSpooler spooler;
    QVERIFY(spooler.printImage(queue.toStdString(), "testprint", picture).accepted);

    QStringList pages;
    for (QDeadlineTimer deadline(20s); pages.size() <= pagesBefore.size() && !deadline.hasExpired(); QTest::qWait(50))
        pages = jobs.entryList({QStringLiteral("job-*-page1.pgm")}, QDir::Files, QDir::Name);
    QCOMPARE(pages.size(), pagesBefore.size() + 1);
    const QImage page(jobs.filePath(pages.last()));
    QVERIFY(!page.isNull());
    QCOMPARE(page.size(), QSize(qRound(6.5 * dpi), 4 * dpi));  // the PPD's label, 6.5 x 4 in, upright
    QString firstWrong;
    for (int y = 0; y < page.height() && firstWrong.isEmpty(); ++y) {
        const uchar *row = page.constScanLine(y);
        for (int x = 0; x < page.width() && firstWrong.isEmpty(); ++x) {
            if ((row[x] < 128) != isDark(picture, x, y))
                firstWrong = QStringLiteral("device pixel (%1, %2)").arg(x).arg(y);
        }
    }
    QVERIFY2(firstWrong.isEmpty(), qPrintable(firstWrong));

    QFile log(m_cups.folder() + QStringLiteral("/sim/log.txt"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().contains(QStringLiteral("at %1x%1 dpi, 8-bit SW, ink (0,0)-(119,47), ink at the origin").arg(dpi).toUtf8()));
}

// The package's queue is a settings queue: what is submitted as raw, or as bytes the scheduler
// can't tell a kind of (the settings), reaches the printer unchanged; a picture, a text or a PDF
// is refused at once, so nothing reaches the device that it would read as commands.
void TestCupsSpooler::settingsQueueTakesRawJobsOnly_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("arrives");

    QFile png(qEnvironmentVariable("SBQ_SOURCE_DIR") + QStringLiteral("/docs/screenshots/about.png"));
    QVERIFY(png.open(QIODevice::ReadOnly));
    const QByteArray picture = png.readAll();
    const QStringList none;
    QTest::newRow("settings as raw") << kFactoryIssueJob << QStringList{"-o", "raw"} << true;
    QTest::newRow("settings, kind left to the scheduler") << kFactoryIssueJob << none << true;
    QTest::newRow("picture, kind left to the scheduler") << picture << none << false;
    QTest::newRow("picture named as one") << picture << QStringList{"-o", "document-format=image/png"} << false;
    QTest::newRow("text") << QByteArray("QAV Quillotron 740Q2\n") << none << false;
    QTest::newRow("PDF") << QByteArray("%PDF-1.4\n%%EOF\n") << none << false;
}

void TestCupsSpooler::settingsQueueTakesRawJobsOnly()
{
    QFETCH(QByteArray, document);
    QFETCH(QStringList, options);
    QFETCH(bool, arrives);

    QTemporaryFile file;
    QVERIFY(file.open());
    file.write(document);
    file.close();
    const QStringList before = QDir(m_cups.jobsFolder()).entryList(QDir::Files);
    const int jobsBefore = static_cast<int>(m_cups.jobs().size());
    m_cups.run("lp", QStringList{"-d", PrivateCups::kDefaultQueue} + options + QStringList{file.fileName()});
    QCOMPARE(m_cups.error().isEmpty(), arrives);

    if (arrives) {
        QCOMPARE(m_cups.waitForJobs(jobsBefore + 1).last(), document);
        return;
    }
    QTest::qWait(500);
    QCOMPARE(QDir(m_cups.jobsFolder()).entryList(QDir::Files), before);
}

// The test print on a settings queue: nothing is made at the scheduler, nothing reaches the
// printer, and the caller learns why.
void TestCupsSpooler::settingsQueueGetsNoPictureJob()
{
    const QStringList before = QDir(m_cups.jobsFolder()).entryList(QDir::Files);
    CupsSpooler spooler;
    const JobSubmission submission = spooler.printImage(PrivateCups::kDefaultQueue, "testprint", markedPicture(120, 48));
    QVERIFY(!submission.accepted);
    QVERIFY(submission.documentUnsupported);
    QVERIFY(!jobNames(PrivateCups::kDefaultQueue).contains(QStringLiteral("testprint")));
    QTest::qWait(300);
    QCOMPARE(QDir(m_cups.jobsFolder()).entryList(QDir::Files), before);
}

// Raw jobs followed after they were handed over, with a shorter total time than the window's:
// the outcome, what the scheduler did with the job, and what reached the printer.
void TestCupsSpooler::followedJobs_data()
{
    QTest::addColumn<QString>("uri");              // "sim": the simulated printer
    QTest::addColumn<QString>("fault");            // "stopped": the queue is stopped; "busy": a job is ahead
    QTest::addColumn<JobOutcome::Kind>("kind");
    QTest::addColumn<QString>("reason");           // what the reason begins with
    QTest::addColumn<QString>("jobState");
    QTest::addColumn<bool>("arrives");

    const QString closed = QStringLiteral("socket://127.0.0.1:%1").arg(closedPort());
    const QString notThere = QStringLiteral("The printer may not exist or is unavailable at this time.");
    using Kind = JobOutcome::Kind;
    QTest::newRow("simulated printer") << "sim" << "" << Kind::Delivered << "" << "completed" << true;
    QTest::newRow("closed loopback port") << closed << "" << Kind::Unreachable << notThere << "canceled" << false;
    QTest::newRow("host name that can't be resolved")
        << "socket://nohost.invalid:9100" << "" << Kind::Unreachable << "connecting-to-device; Unable to locate printer"
        << "canceled" << false;
    QTest::newRow("queue stopped") << "sim" << "stopped" << Kind::Waiting << "the queue is stopped (paused; Jammed)"
                                   << "pending" << false;
    QTest::newRow("behind a job that can't get through")
        << closed << "busy" << Kind::Waiting << "behind other jobs (" + notThere << "pending" << false;
}

void TestCupsSpooler::followedJobs()
{
    QFETCH(QString, uri);
    QFETCH(QString, fault);
    QFETCH(JobOutcome::Kind, kind);
    QFETCH(QString, reason);
    QFETCH(QString, jobState);
    QFETCH(bool, arrives);

    const QString queue = QStringLiteral("Followed_%1").arg(QTest::currentDataTag()).replace(QRegularExpression("\\W"), "_");
    QVERIFY2(m_cups.addQueue(queue, uri), qPrintable(m_cups.error()));
    QTemporaryFile ahead;
    if (fault == QStringLiteral("stopped")) {
        m_cups.run("cupsdisable", {"-r", "Jammed", queue});
        QVERIFY2(m_cups.error().isEmpty(), qPrintable(m_cups.error()));
    } else if (fault == QStringLiteral("busy")) {
        QVERIFY(ahead.open());
        ahead.write(kFactoryIssueJob);
        ahead.close();
        m_cups.run("lp", {"-d", queue, "-o", "raw", ahead.fileName()});
        QVERIFY2(m_cups.error().isEmpty(), qPrintable(m_cups.error()));
    }
    const int before = static_cast<int>(m_cups.jobs().size());

    CupsSpooler spooler;
    JobFollowing::Timing timing;
    timing.total = 5s;
    timing.cancelReserve = 1s;
    timing.unreachableFor = 1500ms;
    const std::string bytes(kFactoryIssueJob.constData(), static_cast<std::size_t>(kFactoryIssueJob.size()));
    const JobOutcome outcome = JobFollowing::sendRawJob(spooler, queue.toStdString(), "Setbridge Status Write", bytes,
                                                        JobFollowing::systemTime(), timing);

    QCOMPARE(outcome.kind, kind);
    QVERIFY2(QString::fromStdString(outcome.reason).startsWith(reason), outcome.reason.c_str());
    cups_job_t *jobs = nullptr;
    const QByteArray name = queue.toUtf8();
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, name.constData(), 0, CUPS_WHICHJOBS_ALL);
    int newest = 0;
    for (int i = 0; i < count; ++i)
        newest = std::max(newest, jobs[i].id);
    cupsFreeJobs(count, jobs);
    QCOMPARE(stateOfJob(newest), jobState);
    QTest::qWait(300);
    QCOMPARE(m_cups.jobs().size(), before + (arrives ? 1 : 0));
    m_cups.run("cancel", {"-a", queue});
}

// One look at jobs waiting on several stopped queues: each job is told its own queue's reason.
void TestCupsSpooler::pendingJobsOnSeveralQueuesTellTheirOwnReasons()
{
    const std::vector<std::pair<QString, QString>> queues{{"Stopped_A", "Jammed"}, {"Stopped_B", "Out of labels"}};
    CupsSpooler spooler;
    std::vector<int> ids;
    for (const auto &[queue, reason] : queues) {
        QVERIFY2(m_cups.addQueue(queue), qPrintable(m_cups.error()));
        m_cups.run("cupsdisable", {"-r", reason, queue});
        const std::string bytes(kFactoryIssueJob.constData(), static_cast<std::size_t>(kFactoryIssueJob.size()));
        const JobSubmission submission = spooler.submitRawJob(queue.toStdString(), "Setbridge Status Write", bytes);
        QVERIFY(submission.accepted);
        ids.push_back(submission.jobId);
    }
    const std::vector<JobProgress> progress = spooler.jobProgress(ids);
    QCOMPARE(progress.size(), queues.size());
    for (std::size_t i = 0; i < queues.size(); ++i) {
        QCOMPARE(progress[i].phase, JobProgress::Phase::Pending);
        QCOMPARE(QString::fromStdString(progress[i].reasons), "the queue is stopped (paused; " + queues[i].second + ")");
        m_cups.run("cancel", {"-a", queues[i].first});
    }
}

// A connection kept open is handed out again while it is idle, and never once the scheduler
// has closed it or sent something unasked.
void TestCupsSpooler::keptConnectionIsHandedOutOnlyWhileFit_data()
{
    QTest::addColumn<QString>("scheduler");  // what the scheduler's side does meanwhile
    QTest::addColumn<bool>("handedOut");
    QTest::newRow("idle") << "nothing" << true;
    QTest::newRow("closed by the scheduler") << "close" << false;
    QTest::newRow("unasked bytes") << "write" << false;
}

void TestCupsSpooler::keptConnectionIsHandedOutOnlyWhileFit()
{
    QFETCH(QString, scheduler);
    QFETCH(bool, handedOut);
    QTcpServer listener;
    QVERIFY(listener.listen(QHostAddress::LocalHost));
    http_t *http = httpConnect2("127.0.0.1", listener.serverPort(), nullptr, AF_INET, HTTP_ENCRYPTION_NEVER, 1, 5000, nullptr);
    QVERIFY(http);
    QVERIFY(listener.waitForNewConnection(5000));
    QTcpSocket *far = listener.nextPendingConnection();

    CupsConnections connections;
    connections.keep(http);
    if (scheduler == QStringLiteral("close")) {
        far->close();
    } else if (scheduler == QStringLiteral("write")) {
        far->write("HTTP/1.1 408 Request Timeout\r\n\r\n");
        QVERIFY(far->waitForBytesWritten(5000));
    }
    QTest::qWait(100);  // the loopback delivers it
    http_t *taken = connections.take();
    QCOMPARE(taken == http, handedOut);
    QCOMPARE(connections.idleCount(), std::size_t(0));
    if (taken)
        httpClose(taken);
}

QTEST_GUILESS_MAIN(TestCupsSpooler)
#include "tst_cups_spooler.moc"
