// The send command on a host without a window.
#include "FakeHost.h"
#include "FakeTime.h"
#include "ScriptedDialogs.h"
#include "commands/SendSettings.h"
#include "res/Strings.h"
#include "spooler/SettingsJob.h"

#include <QtTest>

using Answer = UserPrompts::Answer;
using Icon = UserPrompts::Icon;
using Phase = JobProgress::Phase;
using Stage = JobProgress::Stage;

Q_DECLARE_METATYPE(JobProgress)

namespace {

const QString kSent = QString::fromUtf8(Str::kSettingsSent);
const QString kUnavailable = QString::fromUtf8(Str::kPrinterUnavailable);
const QString kAskIp = QString::fromUtf8(Str::kAskIpChange);
const QString kBadStandby = QString::fromUtf8(Str::kBadForwardStandby);
const QString kNoneSelected = QString::fromUtf8(Str::kNoPrinterSelected);
const QString kFileRefused = QString::fromUtf8(Str::kFileConnectionRefused);
const QString kDamaged = QString::fromUtf8(Str::kSettingsDamaged);

struct Window
{
    FakeHost host;
    ScriptedSendSelectDlg dialog;
    FakeTime clock;
    JobFollowing::Time time = clock.time();

    Window()
    {
        host.selectedPrinter() = {"socket://127.0.0.1:9100", "Quillotron"};
        host.send = [this] { return SendSettings::commandResult(SendSettings::run(host, dialog, time)); };
    }
    int send() { return host.OnSendSettings(); }
    QStringList texts() { return host.scripted().texts(); }
    const std::vector<FakeSpooler::Job> &jobs() { return host.fakeSpooler().jobs(); }
};

}  // namespace

class TestSendSettings : public QObject
{
    Q_OBJECT

private slots:
    void eachChoiceSendsItsGroup_data();
    void eachChoiceSendsItsGroup();
    void sendsWhatThePagesHoldNow();
    void nothingIsSent_data();
    void nothingIsSent();
    void ipChoiceAsksEveryTime();
    void jobNotDelivered_data();
    void jobNotDelivered();
    void noPrinterSelectedChoosesOneFirst();
    void noPrinterAfterTheSelectionSendsNothing();
};

void TestSendSettings::eachChoiceSendsItsGroup_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("parameters") << 0 << QStringList{kSent};
    QTest::newRow("fine adjustments") << 1 << QStringList{kSent};
    QTest::newRow("IP address group") << 2 << QStringList{kAskIp, kSent};
    QTest::newRow("issue control") << 3 << QStringList{kSent};
}

void TestSendSettings::eachChoiceSendsItsGroup()
{
    QFETCH(int, choice);
    QFETCH(QStringList, messages);

    Window w;
    w.host.images().current[60] = '5';  // an edit in the fine-adjustment record
    const SettingsImages before = w.host.images();
    w.dialog.choose(choice);

    QCOMPARE(w.send(), 0);
    QCOMPARE(w.jobs().size(), std::size_t{1});
    const FakeSpooler::Job &job = w.jobs().front();
    QCOMPARE(job.printer, std::string("Quillotron"));
    QCOMPARE(job.name, std::string("Setbridge Status Write"));
    QCOMPARE(job.bytes, SettingsJob::build(before.current, static_cast<SettingsJob::Group>(choice)));
    QCOMPARE(w.texts(), messages);
    QCOMPARE(w.host.scripted().shown().last().icon, Icon::Information);
    QVERIFY(w.host.images().sent == before.current);
    QVERIFY(w.host.images().saved == before.saved);
    QVERIFY(w.host.images().current == before.current);
}

void TestSendSettings::sendsWhatThePagesHoldNow()
{
    Window w;
    w.host.collect = [](SettingsImage &image) { image[46] = 'F'; };
    w.dialog.choose(0);
    QCOMPARE(w.send(), 0);
    QCOMPARE(w.jobs().front().bytes[46], 'F');
    QCOMPARE(w.host.images().sent[46], 'F');
    QCOMPARE(w.host.calls().first(), QStringLiteral("OnSendSettings"));
    QVERIFY(w.host.calls().contains("CollectImage"));
}

void TestSendSettings::nothingIsSent_data()
{
    QTest::addColumn<QString>("connection");
    QTest::addColumn<int>("choice");           // -1: the dialog is cancelled
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<int>("collectedEdit");  // 0 none; else the image offset the pages change
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("dialogRan");

    using L = QList<Answer>;
    QTest::newRow("file connection") << "FILE:" << 0 << L{} << 0 << QStringList{kFileRefused} << false;
    QTest::newRow("dialog cancelled") << "socket://a" << -1 << L{} << 0 << QStringList{} << true;
    QTest::newRow("forward standby off the 0.5 mm steps") << "socket://a" << 0 << L{} << 17
                                                           << QStringList{kBadStandby} << true;
    QTest::newRow("IP change not confirmed") << "socket://a" << 2 << L{Answer::Cancel} << 0
                                             << QStringList{kAskIp} << true;
    QTest::newRow("LF inside the IP records, not asked") << "socket://a" << 2 << L{} << 100
                                                         << QStringList{kDamaged} << true;
}

void TestSendSettings::nothingIsSent()
{
    QFETCH(QString, connection);
    QFETCH(int, choice);
    QFETCH(QList<Answer>, answers);
    QFETCH(int, collectedEdit);
    QFETCH(QStringList, messages);
    QFETCH(bool, dialogRan);

    Window w;
    w.host.selectedPrinter().m_strConnection = connection.toStdString();
    // Offset 17 goes off the 0.5 mm grid; any other offset gets a line feed.
    if (collectedEdit != 0)
        w.host.collect = [collectedEdit](SettingsImage &image) {
            image[static_cast<std::size_t>(collectedEdit)] = collectedEdit == 17 ? '3' : '\n';
        };
    for (Answer answer : answers)
        w.host.scripted().answer(answer);
    w.dialog.choose(choice);
    const SettingsImage sentBefore = w.host.images().sent;

    QCOMPARE(w.send(), -1);
    QVERIFY(w.jobs().empty());
    QCOMPARE(w.texts(), messages);
    QCOMPARE(w.dialog.timesRun(), dialogRan ? 1 : 0);
    QVERIFY(w.host.images().sent == sentBefore);
    QVERIFY(!w.host.calls().contains("OnSwitchPrinter"));
    if (connection == "FILE:")
        QCOMPARE(w.host.scripted().shown().first().icon, Icon::Information);
    if (collectedEdit != 0 || !answers.isEmpty())
        QCOMPARE(w.host.scripted().shown().first().icon, Icon::Warning);
}

void TestSendSettings::ipChoiceAsksEveryTime()
{
    Window w;
    w.dialog.choose(2);
    w.dialog.choose(2);
    QCOMPARE(w.send(), 0);
    QCOMPARE(w.send(), 0);  // nothing changed since: still asked
    QCOMPARE(w.texts().count(kAskIp), 2);
    QCOMPARE(w.host.scripted().shown().first().buttons, UserPrompts::Buttons::OkCancel);
}

// The spooler refuses the job, its printer can't be reached, or the job waits in the queue: the
// sent copy stays. A failure opens the printer selection (keeping the edits); a waiting job is
// left in the queue and the user reads why, the spooler's words shown with controls escaped.
void TestSendSettings::jobNotDelivered_data()
{
    QTest::addColumn<bool>("refused");
    QTest::addColumn<JobProgress>("progress");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("details");
    QTest::addColumn<bool>("cancelled");

    const QString waiting = QString::fromUtf8(Str::kSettingsWaiting);
    const JobProgress none;
    QTest::newRow("refused") << true << none << kUnavailable << "the fake spooler refuses jobs" << false;
    QTest::newRow("printer unreachable")
        << false << JobProgress{Phase::Pending, "Unable to locate printer", Stage::Unreachable} << kUnavailable
        << "Unable to locate printer" << true;
    QTest::newRow("queue stopped") << false << JobProgress{Phase::Pending, "the queue is stopped (paused; Jam\n!)"}
                                   << QString(waiting).replace("%s", "the queue is stopped (paused; Jam\\u000A!)")
                                   << "" << false;
}

void TestSendSettings::jobNotDelivered()
{
    QFETCH(bool, refused);
    QFETCH(JobProgress, progress);
    QFETCH(QString, message);
    QFETCH(QString, details);
    QFETCH(bool, cancelled);

    Window w;
    w.host.fakeSpooler().setFailJobs(refused);
    w.host.fakeSpooler().setProgress("Quillotron", progress);
    w.host.images().current[60] = '5';
    const SettingsImage sentBefore = w.host.images().sent;
    w.dialog.choose(1);
    bool busyWhileFollowing = true;  // the wait cursor shows between the spooler's answers too
    w.time.sleepUntil = [&w, &busyWhileFollowing](JobFollowing::Clock::time_point until) {
        const QCursor *cursor = QGuiApplication::overrideCursor();
        busyWhileFollowing = busyWhileFollowing && cursor && cursor->shape() == Qt::WaitCursor;
        w.clock.now = until;
    };

    QCOMPARE(w.send(), 0);
    QVERIFY(busyWhileFollowing);
    QCOMPARE(w.texts(), QStringList{message});
    QCOMPARE(w.host.scripted().shown().first().icon, Icon::Warning);
    QCOMPARE(w.host.scripted().shown().first().details, details);
    const bool failed = message == kUnavailable;
    QCOMPARE(w.host.calls().contains("OnSwitchPrinter"), failed);
    if (failed)
        QCOMPARE(w.host.lastSwitchReason(), CommandHost::SwitchReason::JobFailed);
    QCOMPARE(w.host.fakeSpooler().cancelled().size(), std::size_t(cancelled ? 1 : 0));
    QVERIFY(w.host.images().sent == sentBefore);
}

void TestSendSettings::noPrinterSelectedChoosesOneFirst()
{
    Window w;
    w.host.selectedPrinter() = {};
    w.host.switchPrinter = [&] { w.host.selectedPrinter() = {"socket://b", "Chosen"}; };
    w.dialog.choose(3);

    QCOMPARE(w.send(), 0);
    QCOMPARE(w.texts(), (QStringList{kNoneSelected, kSent}));
    QCOMPARE(w.jobs().front().printer, std::string("Chosen"));
}

void TestSendSettings::noPrinterAfterTheSelectionSendsNothing()
{
    Window w;
    w.host.selectedPrinter() = {};
    w.dialog.choose(3);
    QCOMPARE(w.send(), -1);
    QVERIFY(w.host.calls().contains("OnSwitchPrinter"));
    QCOMPARE(w.dialog.timesRun(), 0);
    QVERIFY(w.jobs().empty());
}

QTEST_MAIN(TestSendSettings)
#include "tst_send_settings.moc"
