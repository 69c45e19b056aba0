// The spooler against schedulers that misbehave on purpose: one that never answers the document's
// upload, one that answers it with an error only after the wait, and the real private scheduler
// behind a proxy that passes its answers on one byte at a time. No call may count as accepted
// without the scheduler's own success answer, and every call ends within its deadline.
#include "CupsSpooler.h"
#include "PrivateCups.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace std::chrono_literals;

namespace {

constexpr std::chrono::milliseconds kDeadline = 1500ms;
// What the machine may add to a deadline before the call is back (a loaded test machine).
constexpr qint64 kSlackMs = 1500;

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

// One fake scheduler process (tests/faults/fake_scheduler.py) on a loopback port.
class FakeScheduler
{
public:
    bool start(const QStringList &arguments)
    {
        m_process.start(QStringLiteral("python3"), QStringList{script(), portFile()} + arguments);
        QDeadlineTimer deadline(10s);
        while (!QFile::exists(portFile()) && !deadline.hasExpired())
            QTest::qWait(20);
        QFile file(portFile());
        if (!file.open(QIODevice::ReadOnly))
            return false;
        m_port = file.readAll().toInt();
        return m_port > 0;
    }
    ~FakeScheduler()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    int port() const { return m_port; }
    QString requests() const
    {
        QFile log(portFile() + QStringLiteral(".log"));
        return log.open(QIODevice::ReadOnly) ? QString::fromLatin1(log.readAll()) : QString();
    }

private:
    static QString script()
    {
        return qEnvironmentVariable("SBQ_SOURCE_DIR") + QStringLiteral("/tests/faults/fake_scheduler.py");
    }
    QString portFile() const { return m_dir.filePath(QStringLiteral("port")); }

    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
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

QTEST_GUILESS_MAIN(TestSpoolerDeadlines)
#include "tst_spooler_deadlines.moc"
