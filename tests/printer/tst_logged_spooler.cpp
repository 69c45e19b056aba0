// The spooler's reasons reach the log only when an administrator turns the category on.
#include "FakeSpooler.h"
#include "printer/LoggedSpooler.h"

#include <QtTest>

#include <functional>

namespace {

QStringList logged;

void capture(QtMsgType, const QMessageLogContext &context, const QString &message)
{
    if (QByteArray(context.category) == "sbq740.spooler")
        logged << message;
}

}  // namespace

using Call = std::function<void(FakeSpooler &, Spooler &)>;
Q_DECLARE_METATYPE(Call)

class TestLoggedSpooler : public QObject
{
    Q_OBJECT

private slots:
    void init() { logged.clear(); }
    void cleanup() { QLoggingCategory::setFilterRules({}); }
    void failureReasons_data();
    void failureReasons();
};

void TestLoggedSpooler::failureReasons_data()
{
    QTest::addColumn<Call>("call");
    QTest::addColumn<QString>("reason");  // what the line carries

    QTest::newRow("listing") << Call([](FakeSpooler &fake, Spooler &spooler) {
        fake.setListingError({SpoolerError::Kind::Unreachable, "Connection refused\n"});
        spooler.printers();
    }) << "listing the printers failed: Connection refused\\u000A";
    QTest::newRow("raw job") << Call([](FakeSpooler &fake, Spooler &spooler) {
        fake.setFailJobs(true);
        spooler.submitRawJob("Line_A", "Setbridge Status Write", "x");
    }) << "raw job Setbridge Status Write for printer Line_A not taken: the fake spooler refuses jobs";
    QTest::newRow("picture") << Call([](FakeSpooler &fake, Spooler &spooler) {
        fake.setPrintsPictures(false);
        spooler.printImage("Line_A", "Test", RgbImage{});
    }) << "picture job Test for printer Line_A not taken: the fake queue takes no pictures";
    QTest::newRow("job progress") << Call([](FakeSpooler &fake, Spooler &spooler) {
        fake.setProgress("Line_A", {JobProgress::Phase::Pending, "timed out", JobProgress::Stage::Queued,
                                    SpoolerError::Kind::TimedOut});
        spooler.jobProgress({spooler.submitRawJob("Line_A", "Job", "x").jobId});
    }) << "asking after job 1 failed: timed out";
    QTest::newRow("cancel") << Call([](FakeSpooler &fake, Spooler &spooler) {
        fake.setCancelledPhase(JobProgress::Phase::Completed);
        spooler.cancelJob(7);
    }) << "cancelling job 7 not confirmed: the job has completed";
}

void TestLoggedSpooler::failureReasons()
{
    QFETCH(Call, call);
    QFETCH(QString, reason);
    const QtMessageHandler previous = qInstallMessageHandler(capture);
    for (const bool enabled : {false, true}) {
        logged.clear();
        QLoggingCategory::setFilterRules(enabled ? QStringLiteral("sbq740.spooler.debug=true") : QString());
        auto owned = std::make_unique<FakeSpooler>();
        FakeSpooler &fake = *owned;
        LoggedSpooler spooler(std::move(owned));
        call(fake, spooler);
        QCOMPARE(logged, enabled ? QStringList{reason} : QStringList{});
    }
    qInstallMessageHandler(previous);
}

QTEST_APPLESS_MAIN(TestLoggedSpooler)
#include "tst_logged_spooler.moc"
