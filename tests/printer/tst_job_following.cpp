// Following a raw job after it was handed over: the rule that tells delivered, waiting, unreachable
// and failed apart, run against a fake spooler on a fake clock.
#include "FakeSpooler.h"
#include "FakeTime.h"
#include "spooler/JobFollowing.h"

#include <QtTest>

using Phase = JobProgress::Phase;
using Stage = JobProgress::Stage;
using Kind = JobOutcome::Kind;

Q_DECLARE_METATYPE(JobProgress)
Q_DECLARE_METATYPE(JobOutcome::Kind)

namespace {

constexpr char kPrinter[] = "Quillotron";
const char *const kNotThere = "The printer may not exist or is unavailable at this time.";

JobProgress pending(Stage stage, const char *reasons = "")
{
    return {Phase::Pending, reasons, stage};
}

// `count` looks the same.
QList<JobProgress> times(int count, const JobProgress &look)
{
    return QList<JobProgress>(count, look);
}

}  // namespace

class TestJobFollowing : public QObject
{
    Q_OBJECT

private slots:
    void outcomes_data();
    void outcomes();
};

void TestJobFollowing::outcomes_data()
{
    QTest::addColumn<QList<JobProgress>>("looks");  // what the spooler says, look after look
    QTest::addColumn<bool>("refused");              // the spooler does not take the job
    QTest::addColumn<bool>("cancelTooLate");        // the job completes before a cancel reaches it
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<int>("decidedAfterMs");  // on the follower's clock, from handing the job over

    using L = QList<JobProgress>;
    const JobProgress completed{Phase::Completed, {}};
    const JobProgress unreachable = pending(Stage::Unreachable, kNotThere);
    QTest::newRow("completed at once") << L{completed} << false << false << Kind::Delivered << "" << false << 0;
    QTest::newRow("printing, then completed")
        << L{pending(Stage::Connecting), pending(Stage::Printing), completed} << false << false << Kind::Delivered
        << "" << false << 200;
    QTest::newRow("refused by the spooler")
        << L{} << true << false << Kind::Failed << "the fake spooler refuses jobs" << false << 0;
    QTest::newRow("aborted") << L{{Phase::Failed, "aborted-by-system"}} << false << false << Kind::Failed
                             << "aborted-by-system" << false << 0;
    QTest::newRow("device unreachable throughout")
        << L{unreachable} << false << false << Kind::Unreachable << kNotThere << true << 6000;
    QTest::newRow("device unreachable for a while, then reached")
        << times(25, unreachable) + L{pending(Stage::Printing), completed} << false << false << Kind::Delivered << ""
        << false << 2600;
    QTest::newRow("device unreachable again after a pause: counted afresh")
        << times(25, unreachable) + L{pending(Stage::Connecting), unreachable} << false << false << Kind::Unreachable
        << kNotThere << true << 8600;
    QTest::newRow("still connecting when time is up (printer in use)")
        << L{pending(Stage::Connecting, "The printer is in use.")} << false << false << Kind::Unreachable
        << "The printer is in use." << true << 12900;
    QTest::newRow("cancelled too late: it completed")
        << L{unreachable} << false << true << Kind::Delivered << "" << true << 6000;
    QTest::newRow("queue stopped") << L{pending(Stage::Queued, "the queue is stopped (paused)")} << false << false
                                   << Kind::Waiting << "the queue is stopped (paused)" << false << 12900;
    QTest::newRow("behind other jobs, only just connecting when time is up")
        << times(100, pending(Stage::Queued, "behind other jobs")) + L{pending(Stage::Connecting, "Connecting to printer.")}
        << false << false << Kind::Waiting << "Connecting to printer." << false << 12900;
    QTest::newRow("the device takes its time") << L{pending(Stage::Printing, "Waiting for printer to finish.")}
                                               << false << false << Kind::Waiting << "Waiting for printer to finish."
                                               << false << 12900;
    QTest::newRow("spooler silent while following")
        << L{pending(Stage::Queued, "no answer from the print server in time")} << false << false << Kind::Waiting
        << "no answer from the print server in time" << false << 12900;
}

void TestJobFollowing::outcomes()
{
    QFETCH(QList<JobProgress>, looks);
    QFETCH(bool, refused);
    QFETCH(bool, cancelTooLate);
    QFETCH(Kind, kind);
    QFETCH(QString, reason);
    QFETCH(bool, cancelled);
    QFETCH(int, decidedAfterMs);

    FakeSpooler spooler;
    spooler.setFailJobs(refused);
    spooler.setProgressLooks(kPrinter, std::vector<JobProgress>(looks.begin(), looks.end()));
    if (cancelTooLate)
        spooler.setCancelledPhase(Phase::Completed);
    FakeTime clock;
    const JobFollowing::Clock::time_point start = clock.now;

    const JobOutcome outcome = JobFollowing::sendRawJob(spooler, kPrinter, "Setbridge Check", "\x1b" "HD001,A\n",
                                                        clock.time());

    QCOMPARE(outcome.kind, kind);
    QCOMPARE(QString::fromStdString(outcome.reason), reason);
    QCOMPARE(spooler.cancelled().size(), std::size_t(cancelled ? 1 : 0));
    QCOMPARE(std::chrono::duration_cast<std::chrono::milliseconds>(clock.now - start).count(), decidedAfterMs);
    QCOMPARE(spooler.jobs().size(), std::size_t(refused ? 0 : 1));
}

QTEST_GUILESS_MAIN(TestJobFollowing)
#include "tst_job_following.moc"
