// The whole printer link, from the main window to the simulated printer: the start-up selection,
// the four send choices, file connections, a queue that stops accepting jobs, and the exit.
#include "ModalScript.h"
#include "PrivateCups.h"
#include "ScriptedPrompts.h"
#include "TestText.h"
#include "app/CSetbridgeDlg.h"
#include "printer/SystemSpooler.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "settings/AutoSettings.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QtTest>

#include <cups/cups.h>

namespace {

// The 260 bytes a send of `length` image bytes from `offset` must deliver, built by hand.
QByteArray expectedJob(const SettingsImage &image, int offset, int length)
{
    QByteArray job(image.data() + offset, length);
    job += QByteArray("\x1b" "Z0\n");
    job += QByteArray(260 - job.size(), '\0');
    return job;
}

QStringList jobNames(const QString &queue)
{
    cups_job_t *jobs = nullptr;
    const QByteArray name = queue.toUtf8();
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, name.constData(), 0, CUPS_WHICHJOBS_ALL);
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(QString::fromUtf8(jobs[i].title));
    cupsFreeJobs(count, jobs);
    return names;
}

struct Queue
{
    QString name;
    QString uri = QStringLiteral("sim");
    QString model = {};
};

}  // namespace

class TestPrinterLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startUpTakesTheOnlyPrinter();
    void eachSendChoiceDeliversItsBytes_data();
    void eachSendChoiceDeliversItsBytes();
    void factoryIssueControlJobAsSent();
    void noUsablePrinterEndsWithCodeOne_data();
    void noUsablePrinterEndsWithCodeOne();
    void severalPrintersSortedCurrentPreselected();
    void fileConnectionRefusedInTheSelection();
    void fileConnectionNeverReachesTheSpooler();
    void queueRejectingAfterSelection();
    void sendFollowsTheJob_data();
    void sendFollowsTheJob();
    void afterASuccessfulSendExitAsksOnlyAboutSaving();

private:
    void useQueues(const QList<Queue> &queues);
    bool open();  // false when the start-up selection ended the window
    QStringList messages() const { return m_prompts.texts(); }
    QString simulatorUri() const;
    QString ledgerPath() const { return m_data.filePath(QStringLiteral("sent.jsonl")); }
    QList<QJsonObject> ledgerRecords() const;

    PrivateCups m_cups;
    std::unique_ptr<Spooler> m_spooler;
    QTemporaryDir m_data;
    ScriptedPrompts m_prompts;
    std::unique_ptr<ModalScript> m_user;
    std::unique_ptr<CSetbridgeDlg> m_window;
    int m_exitCode = -1;
};

void TestPrinterLink::initTestCase()
{
    QVERIFY2(m_cups.start(), qPrintable(m_cups.error()));
    QVERIFY(m_data.isValid());
    // The program's own spooler, recording what it sends in this test's ledger.
    qputenv("SBQ740_LEDGER", ledgerPath().toUtf8());
    m_spooler = makeSystemSpooler();
}

void TestPrinterLink::init()
{
    std::filesystem::remove(AutoSettings::path(m_data.path().toStdString()));
    m_prompts.clear();
    m_exitCode = -1;
    m_user = std::make_unique<ModalScript>();
}

void TestPrinterLink::cleanup()
{
    m_window.reset();
    m_user.reset();
}

void TestPrinterLink::useQueues(const QList<Queue> &queues)
{
    for (const SpoolerPrinter &printer : m_spooler->printers().printers)
        QVERIFY(m_cups.removeQueue(QString::fromStdString(printer.name)));
    for (const Queue &queue : queues)
        QVERIFY2(m_cups.addQueue(queue.name, queue.uri, queue.model), qPrintable(m_cups.error()));
}

bool TestPrinterLink::open()
{
    m_window = std::make_unique<CSetbridgeDlg>(CSetbridgeDlg::Services{
        m_prompts, *m_spooler, m_data.path().toStdString(), QStringLiteral("/nonexistent/sbq740.html")});
    m_window->setTerminateHandler([this](int code) { m_exitCode = code; });
    return m_window->OnInitDialog();
}

QString TestPrinterLink::simulatorUri() const
{
    QFile port(m_cups.folder() + "/sim/port");
    port.open(QIODevice::ReadOnly);
    return QStringLiteral("socket://127.0.0.1:%1/?contimeout=3").arg(QString::fromLatin1(port.readAll()).trimmed());
}

QList<QJsonObject> TestPrinterLink::ledgerRecords() const
{
    QFile ledger(ledgerPath());
    QList<QJsonObject> records;
    if (ledger.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : ledger.readAll().split('\n'))
            if (!line.isEmpty())
                records << QJsonDocument::fromJson(line).object();
    }
    return records;
}

void TestPrinterLink::startUpTakesTheOnlyPrinter()
{
    useQueues({{PrivateCups::kDefaultQueue}, {"Upper_Case", "sim", "QAV QUILLOTRON 740Q2"},
               {"Other_Model", "sim", "QAV Quillotron 740Q3"}});
    QVERIFY(open());

    QCOMPARE(m_user->played(), 0);
    QCOMPARE(messages(), QStringList{});
    QCOMPARE(m_window->selectedPrinter().m_strPrinterName, std::string(PrivateCups::kDefaultQueue));
    QCOMPARE(m_window->statusPane(0), text("プリンタ名： QAV_Quillotron_740Q2"));
    QCOMPARE(m_window->statusPane(1), text("接続先： ") + simulatorUri());
    QVERIFY(!m_window->isCommandEnabled(ResId::kCmdSwitchPrinter));
}

void TestPrinterLink::eachSendChoiceDeliversItsBytes_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<bool>("edited");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("length");

    const struct { const char *name; int offset; int length; } groups[] = {
        {"parameters", 0, 49}, {"fine adjustments", 49, 39}, {"IP address group", 88, 122}, {"issue control", 210, 21}};
    for (int choice = 0; choice < 4; ++choice) {
        for (bool edited : {false, true}) {
            const QByteArray row = QByteArray(groups[choice].name) + (edited ? ", edited image" : ", factory image");
            QTest::newRow(row.constData()) << choice << edited << groups[choice].offset << groups[choice].length;
        }
    }
}

void TestPrinterLink::eachSendChoiceDeliversItsBytes()
{
    QFETCH(int, choice);
    QFETCH(bool, edited);
    QFETCH(int, offset);
    QFETCH(int, length);

    useQueues({{PrivateCups::kDefaultQueue}});
    QVERIFY(open());
    if (edited) {
        SettingsImage &image = m_window->images().current;
        image[46] = 'F';                      // parameters: the fast cut speed
        image[57] = '1';                      // fine adjustments: the first value
        image[108] = '1';                     // IP address: last octet 021
        image[216] = '1';                     // issue control: the first choice
        m_window->DistributeImage();
    }
    const int before = static_cast<int>(m_cups.jobs().size());
    m_user->then(ModalScript::chooseSendGroup(choice));

    QCOMPARE(m_window->OnSendSettings(), 0);

    m_window->CollectImage();
    const SettingsImage &current = m_window->images().current;
    if (edited)
        QVERIFY(current.slice(offset, length) != SettingsImage::factory().slice(offset, length));
    const QList<QByteArray> jobs = m_cups.waitForJobs(before + 1);
    QCOMPARE(jobs.size(), before + 1);
    QCOMPARE(jobs.last(), expectedJob(current, offset, length));
    QCOMPARE(messages().last(), text(Str::kSettingsSent));
    QCOMPARE(messages().size(), choice == 2 ? 2 : 1);  // the IP group asks first
    QVERIFY(m_window->images().sent == current);
    QCOMPARE(jobNames(PrivateCups::kDefaultQueue).last(), QStringLiteral("Setbridge Status Write"));

    // The ledger's last two lines: the job as handed over, then as delivered.
    const QList<QJsonObject> records = ledgerRecords();
    QVERIFY(records.size() >= 2);
    const QJsonObject accepted = records[records.size() - 2];
    const QJsonObject delivered = records.last();
    QCOMPARE(accepted["program"].toString(), QStringLiteral("sbq740"));
    QCOMPARE(accepted["group"].toString(), QStringList({"param", "fine", "ip", "issue"})[choice]);
    QCOMPARE(accepted["printer"].toString(), QLatin1String(PrivateCups::kDefaultQueue));
    QCOMPARE(accepted["sha256"].toString(),
             QString::fromLatin1(QCryptographicHash::hash(jobs.last(), QCryptographicHash::Sha256).toHex()));
    QVERIFY(accepted["fields"].isObject());
    QCOMPARE(accepted["outcome"].toString(), QStringLiteral("accepted"));
    QCOMPARE(delivered["outcome"].toString(), QStringLiteral("delivered"));
    QCOMPARE(delivered["job_id"].toInt(), accepted["job_id"].toInt());
}

void TestPrinterLink::factoryIssueControlJobAsSent()
{
    useQueues({{PrivateCups::kDefaultQueue}});
    QVERIFY(open());
    const int before = static_cast<int>(m_cups.jobs().size());
    m_user->then(ModalScript::chooseSendGroup(3));
    QCOMPARE(m_window->OnSendSettings(), 0);

    const QByteArray expected = QByteArray("\x1bZ2;3,0,C,C,C,C,C,1\n") + QByteArray(1, '\0') + QByteArray("\x1bZ0\n")
        + QByteArray(235, '\0');
    QCOMPARE(m_cups.waitForJobs(before + 1).last(), expected);
}

void TestPrinterLink::noUsablePrinterEndsWithCodeOne_data()
{
    QTest::addColumn<QList<Queue>>("queues");
    QTest::addColumn<QString>("message");

    const QString noUsable = text(Str::kNoUsablePrinter);
    QTest::newRow("no queue at all") << QList<Queue>{} << noUsable;
    QTest::newRow("driver differing in case") << QList<Queue>{{"Upper_Case", "sim", "QAV QUILLOTRON 740Q2"}}
                                              << noUsable;
    QTest::newRow("driver with extra characters")
        << QList<Queue>{{"Extra", "sim", "QAV Quillotron 740Q2 PS"}} << noUsable;
    QTest::newRow("only queue on a file") << QList<Queue>{{"File_Printer", "file:/dev/null"}}
                                          << text(Str::kFileConnectionOnlyPrinter);
}

void TestPrinterLink::noUsablePrinterEndsWithCodeOne()
{
    QFETCH(QList<Queue>, queues);
    QFETCH(QString, message);

    useQueues(queues);
    QVERIFY(!open());
    QCOMPARE(m_exitCode, 1);
    QCOMPARE(messages(), QStringList{message});
    QVERIFY(!std::filesystem::exists(AutoSettings::path(m_data.path().toStdString())));
}

void TestPrinterLink::severalPrintersSortedCurrentPreselected()
{
    useQueues({{"zeta"}, {"Alpha"}, {"beta"}});
    QStringList rows;
    int selected = -1;
    m_user->then(ModalScript::readPrinterList(rows, selected, ModalScript::choosePrinterRow(2)));
    QVERIFY(open());

    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0).section(u'|', 0, 0), QStringLiteral("Alpha"));
    QCOMPARE(rows.at(1).section(u'|', 0, 0), QStringLiteral("beta"));
    QCOMPARE(rows.at(2).section(u'|', 0, 0), QStringLiteral("zeta"));
    QCOMPARE(selected, 0);
    QCOMPARE(m_window->selectedPrinter().m_strPrinterName, std::string("zeta"));
    QVERIFY(m_window->isCommandEnabled(ResId::kCmdSwitchPrinter));

    // The next switch starts on the printer in use; cancelling it changes nothing.
    m_user->then(ModalScript::readPrinterList(rows, selected, ModalScript::cancel()));
    m_window->OnSwitchPrinter();
    QCOMPARE(selected, 2);
    QCOMPARE(m_window->selectedPrinter().m_strPrinterName, std::string("zeta"));
    QVERIFY(!m_window->isEnded());
}

void TestPrinterLink::fileConnectionRefusedInTheSelection()
{
    useQueues({{"A_File", "file:/dev/null"}, {"B_Printer"}});
    QStringList rows;
    int selected = -1;
    m_user->then(ModalScript::readPrinterList(rows, selected, ModalScript::choosePrinterRow(0)));
    m_user->then(ModalScript::choosePrinterRow(1));
    QVERIFY(open());

    QCOMPARE(rows.value(0), QStringLiteral("A_File|FILE:"));
    QCOMPARE(messages(), QStringList{text(Str::kFileConnectionChooseOther)});
    QCOMPARE(m_window->selectedPrinter().m_strPrinterName, std::string("B_Printer"));
}

void TestPrinterLink::fileConnectionNeverReachesTheSpooler()
{
    useQueues({{"A_File", "file:/dev/null"}, {"B_Printer"}});
    m_user->then(ModalScript::choosePrinterRow(1));
    QVERIFY(open());
    m_prompts.clear();
    m_window->selectedPrinter() = {"FILE:", "A_File"};

    QCOMPARE(m_window->OnSendSettings(), -1);
    QCOMPARE(messages(), QStringList{text(Str::kFileConnectionRefused)});
    QVERIFY(jobNames("A_File").isEmpty());
}

void TestPrinterLink::queueRejectingAfterSelection()
{
    useQueues({{"A_Selected"}, {"B_Other"}});
    m_user->then(ModalScript::choosePrinterRow(0));
    QVERIFY(open());
    QCOMPARE(m_window->selectedPrinter().m_strPrinterName, std::string("A_Selected"));
    const SettingsImage sentBefore = m_window->images().sent;
    QVERIFY(m_cups.rejectJobs("A_Selected"));
    const int before = static_cast<int>(m_cups.jobs().size());

    QStringList rows;
    int selected = -1;
    m_user->then(ModalScript::chooseSendGroup(3));
    m_user->then(ModalScript::readPrinterList(rows, selected, ModalScript::confirmPrinterSelection()));
    QCOMPARE(m_window->OnSendSettings(), 0);

    // The printer chosen after a failed send takes the settings that were not sent.
    QCOMPARE(messages(), QStringList{text(Str::kPrinterUnavailable)});
    QCOMPARE(rows.size(), 1);  // the rejecting queue is no longer offered
    QCOMPARE(rows.value(0).section(u'|', 0, 0), QStringLiteral("B_Other"));
    QCOMPARE(m_window->selectedPrinter().m_strPrinterName, std::string("B_Other"));
    QVERIFY(m_window->images().sent == sentBefore);
    QTest::qWait(300);
    QCOMPARE(m_cups.jobs().size(), before);
}

// "Sent" only once the printer has the job. A printer that can't be reached has its job cancelled
// and the failure path follows (the selection, the edits kept); a job that waits in a stopped
// queue stays there, and the user reads why. The sent copy changes only on delivery.
void TestPrinterLink::sendFollowsTheJob_data()
{
    QTest::addColumn<QString>("uri");
    QTest::addColumn<bool>("stopped");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("jobState");
    QTest::addColumn<QString>("recorded");  // the ledger's last line for the job

    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const QString closedUri = QStringLiteral("socket://127.0.0.1:%1").arg(closed.serverPort());
    closed.close();
    const QString unavailable = text(Str::kPrinterUnavailable);
    QTest::newRow("printer takes it") << "sim" << false << text(Str::kSettingsSent) << "completed" << "delivered";
    QTest::newRow("nothing listens at the printer's port") << closedUri << false << unavailable << "canceled" << "failed";
    QTest::newRow("printer's host name unknown") << "socket://nohost.invalid:9100" << false << unavailable
                                                 << "canceled" << "failed";
    QTest::newRow("queue stopped") << "sim" << true
                                   << text(Str::kSettingsWaiting).replace("%s", "the queue is stopped (paused; Jammed)")
                                   << "pending" << "queued";
}

void TestPrinterLink::sendFollowsTheJob()
{
    QFETCH(QString, uri);
    QFETCH(bool, stopped);
    QFETCH(QString, message);
    QFETCH(QString, jobState);
    QFETCH(QString, recorded);

    useQueues({{"Followed", uri}});
    QVERIFY(open());
    if (stopped) {
        m_cups.run("cupsdisable", {"-r", "Jammed", "Followed"});
        QVERIFY2(m_cups.error().isEmpty(), qPrintable(m_cups.error()));
    }
    m_window->images().current[216] = '1';
    m_window->DistributeImage();
    const SettingsImage sentBefore = m_window->images().sent;
    const int before = static_cast<int>(m_cups.jobs().size());
    const bool fails = message == text(Str::kPrinterUnavailable);
    QStringList rows;
    int selected = -1;
    m_user->then(ModalScript::chooseSendGroup(3));
    m_user->then(ModalScript::readPrinterList(rows, selected, ModalScript::cancel()));  // should it fail
    m_prompts.answer(UserPrompts::Answer::Ok);
    m_prompts.answer(UserPrompts::Answer::No);  // the selection asks about the unsent edit
    m_prompts.answer(UserPrompts::Answer::No);  // and the unsaved one

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(m_window->OnSendSettings(), 0);
    qInfo("told after %lld ms", static_cast<long long>(clock.elapsed()));

    QCOMPARE(messages().value(0), message);
    QCOMPARE(m_user->played(), fails ? 2 : 1);
    QCOMPARE(m_window->images().current[216], '1');
    QVERIFY((m_window->images().sent == m_window->images().current) == (jobState == "completed"));
    if (jobState != "completed")
        QVERIFY(m_window->images().sent == sentBefore);
    cups_job_t *jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, "Followed", 0, CUPS_WHICHJOBS_ALL);
    QCOMPARE(count, 1);
    QCOMPARE(QString::fromUtf8(ippEnumString("job-state", jobs[0].state)), jobState);
    cupsFreeJobs(count, jobs);
    QTest::qWait(300);
    QCOMPARE(m_cups.jobs().size(), before + (jobState == "completed" ? 1 : 0));
    QCOMPARE(ledgerRecords().last()["outcome"].toString(), recorded);
    QCOMPARE(ledgerRecords().last()["printer"].toString(), QStringLiteral("Followed"));
}

void TestPrinterLink::afterASuccessfulSendExitAsksOnlyAboutSaving()
{
    useQueues({{PrivateCups::kDefaultQueue}});
    QVERIFY(open());
    m_window->images().current[216] = '1';
    m_window->DistributeImage();
    m_user->then(ModalScript::chooseSendGroup(1));
    QCOMPARE(m_window->OnSendSettings(), 0);
    m_prompts.clear();

    m_prompts.answer(UserPrompts::Answer::No);
    QVERIFY(m_window->OnExit());
    QCOMPARE(messages(), QStringList{text(Str::kAskSaveBeforeExit)});
    QVERIFY(m_window->isEnded());
}

QTEST_MAIN(TestPrinterLink)
#include "tst_printer_link.moc"
