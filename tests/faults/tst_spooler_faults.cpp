// The spooler failing under the main window, against a private CUPS server: the scheduler
// stopped or frozen (SIGSTOP) before start-up and between the printer selection and the send,
// the selected queue deleted, and the queue rejecting jobs. Each ends with its message, within
// the spooler's bounded wait, with the sent copy unchanged and nothing printed.
#include "FakeScheduler.h"
#include "ModalScript.h"
#include "PrivateCups.h"
#include "ScriptedPrompts.h"
#include "TestText.h"
#include "app/CSetbridgeDlg.h"
#include "res/Strings.h"
#include "settings/AutoSettings.h"
#include "settings/SettingsFile.h"
#include "spooler/CupsSpooler.h"

#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

#include <cups/cups.h>

#include <csignal>
#include <optional>

namespace {

using namespace std::chrono_literals;

enum class Fault { SchedulerStopped, SchedulerFrozen, QueueDeleted, QueueRejecting };

// Every spooler call gives up after CupsSpooler's timeout; a failed send makes two calls (the
// job, then the printer list of the selection that follows). Anything beyond that is a hang.
constexpr qint64 kBoundedWaitMs = (2 * CupsSpooler::kDeadline + 8s).count();

// The process has ended: it no longer exists, or it is a zombie that nobody reaped yet.
bool processGone(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray fields = stat.readAll();
    const qsizetype afterName = fields.lastIndexOf(") ");
    return afterName < 0 || fields.mid(afterName + 2, 1) == "Z";
}

}  // namespace

Q_DECLARE_METATYPE(Fault)

class TestSpoolerFaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void schedulerGoneBeforeStartUp_data();
    void schedulerGoneBeforeStartUp();
    void faultBetweenSelectionAndSend_data();
    void faultBetweenSelectionAndSend();
    void failedSendOnTheWayOutKeepsTheEdits_data();
    void failedSendOnTheWayOutKeepsTheEdits();
    void lateAnswerToTheSend_data();
    void lateAnswerToTheSend();

private:
    void inflict(Fault fault);
    bool open();  // false when the start-up selection ended the window
    pid_t schedulerPid() const;
    QStringList messages() const { return m_prompts.texts(); }

    std::unique_ptr<PrivateCups> m_cups;
    std::unique_ptr<CupsSpooler> m_spooler;
    QTemporaryDir m_data;
    ScriptedPrompts m_prompts;
    std::unique_ptr<ModalScript> m_user;
    std::unique_ptr<CSetbridgeDlg> m_window;
    std::optional<pid_t> m_frozen;
    int m_exitCode = -1;
    // When the process ends, nothing after it happens: what had been asked and written by then.
    QStringList m_messagesAtExit;
    std::optional<SettingsImage> m_settingAtExit;
};

void TestSpoolerFaults::init()
{
    // A server of its own for each case: the faults leave it stopped or changed.
    m_cups = std::make_unique<PrivateCups>();
    // Under load a freshly started cupsd now and then refuses the first lpadmin right after it
    // answered; starting again in the same folder is harmless and goes on where it stopped.
    QVERIFY2(m_cups->start() || m_cups->start(), qPrintable(m_cups->error()));
    cupsSetServer(m_cups->server().toLocal8Bit().constData());  // libcups keeps the first server it saw
    m_spooler = std::make_unique<CupsSpooler>();
    std::filesystem::remove(AutoSettings::path(m_data.path().toStdString()));
    m_prompts.clear();
    m_exitCode = -1;
    m_messagesAtExit.clear();
    m_settingAtExit.reset();
    m_user = std::make_unique<ModalScript>();
}

void TestSpoolerFaults::cleanup()
{
    if (m_frozen)
        ::kill(*m_frozen, SIGCONT);
    m_frozen.reset();
    m_window.reset();
    m_user.reset();
    m_spooler.reset();
    m_cups.reset();
}

pid_t TestSpoolerFaults::schedulerPid() const
{
    QFile file(m_cups->folder() + QStringLiteral("/cupsd.pid"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return static_cast<pid_t>(file.readAll().trimmed().toInt());
}

void TestSpoolerFaults::inflict(Fault fault)
{
    const pid_t scheduler = schedulerPid();
    QVERIFY(scheduler > 0);
    switch (fault) {
    case Fault::SchedulerStopped:
        QCOMPARE(::kill(scheduler, SIGTERM), 0);
        QTRY_VERIFY_WITH_TIMEOUT(processGone(scheduler), 10000);
        QTest::qWait(200);  // let the socket go as well
        break;
    case Fault::SchedulerFrozen:
        QCOMPARE(::kill(scheduler, SIGSTOP), 0);
        m_frozen = scheduler;
        break;
    case Fault::QueueDeleted:
        QVERIFY2(m_cups->removeQueue(PrivateCups::kDefaultQueue), qPrintable(m_cups->error()));
        break;
    case Fault::QueueRejecting:
        QVERIFY2(m_cups->rejectJobs(PrivateCups::kDefaultQueue), qPrintable(m_cups->error()));
        break;
    }
}

bool TestSpoolerFaults::open()
{
    m_window = std::make_unique<CSetbridgeDlg>(CSetbridgeDlg::Services{
        m_prompts, *m_spooler, m_data.path().toStdString(), QStringLiteral("/nonexistent/sbq740.html")});
    m_window->setTerminateHandler([this](int code) {
        m_exitCode = code;
        m_messagesAtExit = messages();
        m_settingAtExit = SettingsFile::read(AutoSettings::path(m_data.path().toStdString()));
    });
    return m_window->OnInitDialog();
}

void TestSpoolerFaults::schedulerGoneBeforeStartUp_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("details");  // why, unfolded below the message
    QTest::newRow("cupsd stopped") << Fault::SchedulerStopped << "the print server can't be reached";
    QTest::newRow("cupsd frozen") << Fault::SchedulerFrozen << "no answer from the print server in time";
}

// No scheduler to ask: no usable printer, exit code 1, and "setting" is not written. The message
// blames no driver on its own: the spooler's reason unfolds below it.
void TestSpoolerFaults::schedulerGoneBeforeStartUp()
{
    QFETCH(Fault, fault);
    QFETCH(QString, details);
    inflict(fault);

    QElapsedTimer clock;
    clock.start();
    QVERIFY(!open());

    QVERIFY2(clock.elapsed() < kBoundedWaitMs, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(m_exitCode, 1);
    QCOMPARE(messages(), QStringList{text(Str::kNoUsablePrinter)});
    QCOMPARE(m_prompts.shown().first().details, details);
    QVERIFY(!std::filesystem::exists(AutoSettings::path(m_data.path().toStdString())));
}

void TestSpoolerFaults::faultBetweenSelectionAndSend_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::newRow("cupsd stopped") << Fault::SchedulerStopped;
    QTest::newRow("cupsd frozen") << Fault::SchedulerFrozen;
    QTest::newRow("queue deleted") << Fault::QueueDeleted;
    QTest::newRow("queue rejecting jobs") << Fault::QueueRejecting;
}

// The only printer fails after it was selected: the failure message, then the selection (after its
// questions about the edit) finds no usable printer. The program ends with code 1, but only after
// offering to save the edit, and "setting" keeps it. The sent copy stays; nothing reaches the
// printer.
void TestSpoolerFaults::faultBetweenSelectionAndSend()
{
    QFETCH(Fault, fault);
    QVERIFY(open());
    QCOMPARE(m_window->selectedPrinter().m_strPrinterName, std::string(PrivateCups::kDefaultQueue));
    m_window->images().current[216] = '1';  // an edit on the issue-control page
    m_window->DistributeImage();
    const SettingsImage sentBefore = m_window->images().sent;
    const qsizetype jobsBefore = m_cups->jobs().size();
    inflict(fault);

    m_user->then(ModalScript::chooseSendGroup(3));
    // The selection that follows the failure first asks about the unsent and unsaved edit.
    m_prompts.answer(UserPrompts::Answer::Ok);
    m_prompts.answer(UserPrompts::Answer::No);
    m_prompts.answer(UserPrompts::Answer::No);
    m_prompts.answer(UserPrompts::Answer::Ok);
    m_prompts.answer(UserPrompts::Answer::No);  // no settings file: "setting" keeps the edit anyway
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(m_window->OnSendSettings(), 0);

    QVERIFY2(clock.elapsed() < kBoundedWaitMs, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(messages(), (QStringList{text(Str::kPrinterUnavailable), text(Str::kAskSendBeforeSwitch),
                                      text(Str::kAskSaveBeforeSwitch), text(Str::kNoUsablePrinter),
                                      text(Str::kAskSaveBeforeExit)}));
    QCOMPARE(m_exitCode, 1);
    QCOMPARE(m_messagesAtExit, messages());
    QVERIFY(m_settingAtExit);
    QCOMPARE((*m_settingAtExit)[216], '1');
    QVERIFY(m_window->images().sent == sentBefore);
    QCOMPARE(m_window->images().current[216], '1');
    if (m_frozen)
        ::kill(*m_frozen, SIGCONT);  // a frozen scheduler may still hold the job: let it go on
    QTest::qWait(500);
    QCOMPARE(m_cups->jobs().size(), jobsBefore);
}

void TestSpoolerFaults::failedSendOnTheWayOutKeepsTheEdits_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<bool>("anotherPrinter");
    QTest::newRow("queue deleted, another printer chosen") << Fault::QueueDeleted << true;
    QTest::newRow("cupsd stopped, no printer left") << Fault::SchedulerStopped << false;
}

// Exit, Yes to sending, and the send fails. Whether the user then picks another printer or none
// is left, the edit is what the exit saves to the user's file and to "setting": never the factory
// settings, and the save question comes once.
void TestSpoolerFaults::failedSendOnTheWayOutKeepsTheEdits()
{
    QFETCH(Fault, fault);
    QFETCH(bool, anotherPrinter);
    if (anotherPrinter) {
        QVERIFY(m_cups->addQueue(QStringLiteral("Second_740Q2")));
        m_user->then(ModalScript::choosePrinterRow(0));
    }
    QVERIFY(open());
    m_window->images().current[216] = '1';
    m_window->DistributeImage();
    inflict(fault);

    const QString saved = m_data.filePath(QStringLiteral("mine.dat"));
    m_user->then(ModalScript::chooseSendGroup(3));
    if (anotherPrinter)
        m_user->then(ModalScript::choosePrinterRow(0));
    using Answer = UserPrompts::Answer;
    QList<Answer> answers{Answer::Yes, Answer::Ok, Answer::No, Answer::No};
    if (!anotherPrinter)
        answers << Answer::Ok;  // no usable printer
    answers << Answer::Yes;     // save to a file
    for (const Answer answer : answers)
        m_prompts.answer(answer);
    m_prompts.chooseSaveFile(saved);
    m_window->OnExit();

    QStringList expected{text(Str::kAskSendBeforeExit), text(Str::kPrinterUnavailable),
                         text(Str::kAskSendBeforeSwitch), text(Str::kAskSaveBeforeSwitch)};
    if (!anotherPrinter)
        expected << text(Str::kNoUsablePrinter);
    expected << text(Str::kAskSaveBeforeExit);
    QCOMPARE(messages(), expected);
    QCOMPARE(m_exitCode, anotherPrinter ? -1 : 1);
    QVERIFY(m_window->isEnded());
    if (!anotherPrinter) {
        QCOMPARE(m_messagesAtExit, expected);
        QVERIFY(m_settingAtExit && (*m_settingAtExit)[216] == '1');
    }
    for (const QString &file : {saved, QString::fromStdString(AutoSettings::path(m_data.path().toStdString()))}) {
        const std::optional<SettingsImage> image = SettingsFile::read(file.toStdString());
        QVERIFY2(image, qPrintable(file));
        QCOMPARE((*image)[216], '1');
    }
}

// The scheduler answers after the spooler's deadline (through a proxy that holds its answer back):
// a send whose upload was answered late printed, so it is sent; one whose upload reached the
// scheduler too late is cancelled and fails, and it never prints.
void TestSpoolerFaults::lateAnswerToTheSend_data()
{
    QTest::addColumn<QStringList>("behaviour");
    QTest::addColumn<bool>("delivered");
    QTest::newRow("upload answered late") << QStringList{"late-answer", "send-document", "2.5"} << true;
    QTest::newRow("upload arriving late") << QStringList{"late-upload", "4"} << false;
}

void TestSpoolerFaults::lateAnswerToTheSend()
{
    QFETCH(QStringList, behaviour);
    QFETCH(bool, delivered);
    FakeScheduler proxy;
    behaviour.insert(1, m_cups->server());
    QVERIFY(proxy.start(behaviour));
    m_spooler = std::make_unique<CupsSpooler>(CupsServer{"127.0.0.1", proxy.port()}, 1500ms);
    QVERIFY(open());
    m_window->images().current[216] = '1';
    m_window->DistributeImage();
    const SettingsImage sentBefore = m_window->images().sent;
    m_user->then(ModalScript::chooseSendGroup(3));
    m_user->then(ModalScript::cancel());  // the printer selection, should the send fail
    m_prompts.answer(UserPrompts::Answer::Ok);
    m_prompts.answer(UserPrompts::Answer::No);
    m_prompts.answer(UserPrompts::Answer::No);

    QCOMPARE(m_window->OnSendSettings(), 0);

    QCOMPARE(messages().value(0), text(delivered ? Str::kSettingsSent : Str::kPrinterUnavailable));
    QCOMPARE(m_user->played(), delivered ? 1 : 2);
    QCOMPARE(m_window->images().sent == m_window->images().current, delivered);
    if (!delivered)
        QVERIFY(m_window->images().sent == sentBefore);
    QTest::qWait(4000);  // an upload passed on late would have printed by now
    QCOMPARE(m_cups->jobs().size(), delivered ? 1 : 0);
}

QTEST_MAIN(TestSpoolerFaults)
#include "tst_spooler_faults.moc"
