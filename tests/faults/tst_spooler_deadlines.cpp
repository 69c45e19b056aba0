// The spooler against schedulers that misbehave on purpose: one that never answers the document's
// upload, one that answers it with an error only after the wait, and the real private scheduler
// behind a proxy that passes its answers on one byte at a time, or late. No call may count as
// accepted without the scheduler's own success answer, and every call ends within its deadline.
// What a late answer reports is what became of the job: a job the scheduler has whole was
// accepted, and one that is reported as failed is cancelled before the program ends, in the
// spooler and in sbq740-cli.
#include "FakeScheduler.h"
#include "PrivateCups.h"
#include "settings/SettingsFile.h"
#include "spooler/CupsSpooler.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cups/cups.h>

using namespace std::chrono_literals;

namespace {

constexpr std::chrono::milliseconds kDeadline = 1500ms;
// What the machine may add to a deadline before the call is back (a loaded test machine).
constexpr qint64 kSlackMs = 1500;
// After the deadline, finding out what became of a job whose answer is late takes this long at most.
constexpr qint64 kSettleMs = 3000;

enum class Call { List, RawJob, ImageJob };

RgbImage markerPicture()
{
    RgbImage image;
    image.width = 8;
    image.height = 4;
    image.pixels.assign(image.rowBytes() * 4, '\xff');
    return image;
}

// True when the call counted as a success.
bool perform(CupsSpooler &spooler, Call call)
{
    switch (call) {
    case Call::List:
        return !spooler.printers().printers.empty();
    case Call::RawJob:
        return spooler.writeRawJob(PrivateCups::kDefaultQueue, "Setbridge Check", "\x1bHD001,A\n");
    case Call::ImageJob:
        return spooler.printImage(PrivateCups::kDefaultQueue, "testprint", markerPicture()).accepted;
    }
    return false;
}

// The state of the newest job the scheduler keeps, and how many there are.
struct NewestJob
{
    QString state;
    int count = 0;
};

NewestJob newestJob(const char *queue)
{
    cups_job_t *jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue, 0, CUPS_WHICHJOBS_ALL);
    NewestJob newest{{}, count};
    int id = 0;
    for (int i = 0; i < count; ++i) {
        if (jobs[i].id > id) {
            id = jobs[i].id;
            newest.state = QString::fromUtf8(ippEnumString("job-state", jobs[i].state));
        }
    }
    cupsFreeJobs(count, jobs);
    return newest;
}

// A private scheduler with a proxy before it that delays as `behaviour` says.
struct DelayedScheduler
{
    PrivateCups cups;
    FakeScheduler proxy;

    bool start(QStringList behaviour)
    {
        if (!cups.start())
            return false;
        cupsSetServer(cups.server().toLocal8Bit().constData());  // libcups keeps the first server it saw
        behaviour.insert(1, cups.server());
        return proxy.start(behaviour);
    }
};

}  // namespace

Q_DECLARE_METATYPE(Call)

class TestSpoolerDeadlines : public QObject
{
    Q_OBJECT

private slots:
    void documentNotAcceptedIsAFailure_data();
    void documentNotAcceptedIsAFailure();
    void pauseInsideAnAnswerIsWaitedFor_data();
    void pauseInsideAnAnswerIsWaitedFor();
    void drippingSchedulerIsGivenUpOnInTime_data();
    void drippingSchedulerIsGivenUpOnInTime();
    void lateAnswerTellsWhatBecameOfTheJob_data();
    void lateAnswerTellsWhatBecameOfTheJob();
    void cliTellsWhatBecameOfTheJob_data();
    void cliTellsWhatBecameOfTheJob();
    void fleetJobsGoAtOnceOverKeptConnections_data();
    void fleetJobsGoAtOnceOverKeptConnections();
};

void TestSpoolerDeadlines::documentNotAcceptedIsAFailure_data()
{
    QTest::addColumn<QStringList>("behaviour");
    QTest::addColumn<Call>("call");
    const QStringList silent{"silent-document"};
    const QStringList lateError{"late-error", "2.5"};  // after the deadline
    const QStringList promptError{"late-error", "0.3"};
    QTest::newRow("upload never answered, raw job") << silent << Call::RawJob;
    QTest::newRow("upload never answered, image job") << silent << Call::ImageJob;
    QTest::newRow("error after the wait, raw job") << lateError << Call::RawJob;
    QTest::newRow("error in time, image job") << promptError << Call::ImageJob;
}

void TestSpoolerDeadlines::documentNotAcceptedIsAFailure()
{
    QFETCH(QStringList, behaviour);
    QFETCH(Call, call);
    FakeScheduler scheduler;
    QVERIFY(scheduler.start(behaviour));
    CupsSpooler spooler({"127.0.0.1", scheduler.port()}, kDeadline);

    QElapsedTimer clock;
    clock.start();
    QVERIFY2(!perform(spooler, call), "a document the scheduler never accepted counted as sent");
    QVERIFY2(clock.elapsed() < kDeadline.count() + kSlackMs, qPrintable(QString::number(clock.elapsed())));
    // The job the scheduler made (id 7) is cancelled, so it can't print after the failure.
    QTRY_VERIFY_WITH_TIMEOUT(scheduler.requests().contains(QStringLiteral("0008 7")), 8000);
}

void TestSpoolerDeadlines::pauseInsideAnAnswerIsWaitedFor_data()
{
    QTest::addColumn<Call>("call");
    QTest::newRow("raw job") << Call::RawJob;
    QTest::newRow("image job") << Call::ImageJob;
}

// A busy scheduler may pause in the middle of an answer: within the deadline that is no failure.
void TestSpoolerDeadlines::pauseInsideAnAnswerIsWaitedFor()
{
    QFETCH(Call, call);
    FakeScheduler scheduler;
    QVERIFY(scheduler.start({"pausing", "0.4"}));
    CupsSpooler spooler({"127.0.0.1", scheduler.port()}, 5s);
    QVERIFY(perform(spooler, call));
    QVERIFY(!scheduler.requests().contains(QStringLiteral("0008 7")));  // nothing cancelled
}

void TestSpoolerDeadlines::drippingSchedulerIsGivenUpOnInTime_data()
{
    QTest::addColumn<Call>("call");
    QTest::newRow("listing") << Call::List;
    QTest::newRow("raw job") << Call::RawJob;
    QTest::newRow("image job") << Call::ImageJob;
}

void TestSpoolerDeadlines::drippingSchedulerIsGivenUpOnInTime()
{
    QFETCH(Call, call);
    PrivateCups cups;
    QVERIFY2(cups.start(), qPrintable(cups.error()));
    // One byte of every answer each 0.3 s: never a pause long enough for a per-read timeout.
    FakeScheduler proxy;
    QVERIFY(proxy.start({"drip", cups.server(), "0.3"}));
    CupsSpooler spooler({"127.0.0.1", proxy.port()}, kDeadline);

    QElapsedTimer clock;
    clock.start();
    QVERIFY(!perform(spooler, call));
    QVERIFY2(clock.elapsed() < kDeadline.count() + kSlackMs, qPrintable(QString::number(clock.elapsed())));
    QTest::qWait(500);
    QVERIFY(cups.jobs().isEmpty());
}

void TestSpoolerDeadlines::lateAnswerTellsWhatBecameOfTheJob_data()
{
    QTest::addColumn<QStringList>("behaviour");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("jobState");
    QTest::addColumn<bool>("prints");

    // The scheduler answers the upload after the deadline: the job printed meanwhile.
    QTest::newRow("upload answered late") << QStringList{"late-answer", "send-document", "2.5"} << true << "completed"
                                          << true;
    // The upload reaches the scheduler only after the deadline: the job, still waiting for its
    // document, is cancelled, and the upload that comes later can't make it print.
    QTest::newRow("upload arriving late") << QStringList{"late-upload", "4"} << false << "canceled" << false;
    // The job is made, but its id comes after the deadline: it is cancelled as soon as it is known.
    QTest::newRow("Create-Job answered late") << QStringList{"late-answer", "create-job", "2.5"} << false << "canceled"
                                              << false;
}

void TestSpoolerDeadlines::lateAnswerTellsWhatBecameOfTheJob()
{
    QFETCH(QStringList, behaviour);
    QFETCH(bool, accepted);
    QFETCH(QString, jobState);
    QFETCH(bool, prints);

    DelayedScheduler scheduler;
    QVERIFY2(scheduler.start(behaviour), qPrintable(scheduler.cups.error()));
    CupsSpooler spooler({"127.0.0.1", scheduler.proxy.port()}, kDeadline);

    QElapsedTimer clock;
    clock.start();
    const JobSubmission submission =
        spooler.submitRawJob(PrivateCups::kDefaultQueue, "Setbridge Check", "\x1bHD001,A\n");
    QVERIFY2(clock.elapsed() < kDeadline.count() + kSettleMs + kSlackMs, qPrintable(QString::number(clock.elapsed())));

    QCOMPARE(submission.accepted, accepted);
    QTRY_COMPARE_WITH_TIMEOUT(newestJob(PrivateCups::kDefaultQueue).state, jobState, 10000);
    QCOMPARE(newestJob(PrivateCups::kDefaultQueue).count, 1);
    QTest::qWait(4000);  // a late upload would have reached the printer by now
    QCOMPARE(scheduler.cups.jobs().size(), prints ? 1 : 0);
}

// sbq740-cli's head check through the delaying proxy; the program's deadline is 12 s. Its result
// is what became of the job, and by the time the program has ended, a job it reports as failed
// is cancelled.
void TestSpoolerDeadlines::cliTellsWhatBecameOfTheJob_data()
{
    QTest::addColumn<QStringList>("behaviour");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QString>("jobState");

    QTest::newRow("upload answered late") << QStringList{"late-answer", "send-document", "12.5"} << 0 << "delivered"
                                          << "completed";
    QTest::newRow("upload arriving late") << QStringList{"late-upload", "13"} << 1 << "failed" << "canceled";
    QTest::newRow("Create-Job answered late") << QStringList{"late-answer", "create-job", "12.5"} << 1 << "failed"
                                              << "canceled";
}

void TestSpoolerDeadlines::cliTellsWhatBecameOfTheJob()
{
    QFETCH(QStringList, behaviour);
    QFETCH(int, exitCode);
    QFETCH(QString, outcome);
    QFETCH(QString, jobState);

    DelayedScheduler scheduler;
    QVERIFY2(scheduler.start(behaviour), qPrintable(scheduler.cups.error()));
    QProcess cli;
    cli.start(QStringLiteral(SBQ_CLI), {"headcheck", "--server", scheduler.proxy.address(), "--printer",
                                        PrivateCups::kDefaultQueue});
    QVERIFY(cli.waitForFinished(60000));

    const QString said = QString::fromUtf8(cli.readAllStandardOutput());
    QVERIFY2(said.startsWith(QStringLiteral("%1: %2").arg(PrivateCups::kDefaultQueue, outcome)), qPrintable(said));
    QCOMPARE(cli.exitCode(), exitCode);
    QCOMPARE(newestJob(PrivateCups::kDefaultQueue).state, jobState);  // already: the program has ended
    QCOMPARE(newestJob(PrivateCups::kDefaultQueue).count, 1);
}

// sbq740-cli sends to eight queues behind a proxy that holds every answer back a while: up to
// --jobs submissions are under way at once, and the calls share the connections they leave open
// (without them, every call would take a connection of its own: more than one per queue).
void TestSpoolerDeadlines::fleetJobsGoAtOnceOverKeptConnections_data()
{
    QTest::addColumn<int>("jobs");
    QTest::addColumn<int>("fewestAtOnce");
    QTest::newRow("one at a time") << 1 << 1;
    QTest::newRow("three at once") << 3 << 2;
}

void TestSpoolerDeadlines::fleetJobsGoAtOnceOverKeptConnections()
{
    QFETCH(int, jobs);
    QFETCH(int, fewestAtOnce);
    constexpr int kQueues = 8;

    DelayedScheduler scheduler;
    QVERIFY2(scheduler.start({"slow", "0.15"}), qPrintable(scheduler.cups.error()));
    for (int i = 0; i < kQueues; ++i)
        QVERIFY(scheduler.cups.addQueue(QStringLiteral("fleet_%1").arg(i)));
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("line.dat"));
    QCOMPARE(SettingsFile::write(settings.toStdString(), SettingsImage::factory()), SettingsFile::WriteResult::Written);

    QProcess cli;
    cli.start(QStringLiteral(SBQ_CLI), {"send", "--group", "issue", "--all", "--jobs", QString::number(jobs),
                                        "--server", scheduler.proxy.address(), settings});
    QVERIFY(cli.waitForFinished(60000));
    const QString said = QString::fromUtf8(cli.readAllStandardOutput());
    QVERIFY2(cli.exitCode() == 0 && said.count(QStringLiteral(": delivered")) == kQueues + 1, qPrintable(said));

    const QStringList log = scheduler.proxy.requests().split(u'\n', Qt::SkipEmptyParts);
    int mostAtOnce = 0;
    for (const QString &line : log) {
        if (line.startsWith(QStringLiteral("at-once ")))
            mostAtOnce = std::max(mostAtOnce, line.mid(8).toInt());
    }
    QVERIFY2(mostAtOnce >= fewestAtOnce && mostAtOnce <= jobs, qPrintable(QString::number(mostAtOnce)));
    // At most every call under way at once (the submissions and one look at the jobs), each
    // perhaps once more while it hands its connection back.
    const auto connections = log.count(QStringLiteral("connection"));
    QVERIFY2(connections <= 2 * (jobs + 1), qPrintable(QString::number(connections)));
}

QTEST_GUILESS_MAIN(TestSpoolerDeadlines)
#include "tst_spooler_deadlines.moc"
