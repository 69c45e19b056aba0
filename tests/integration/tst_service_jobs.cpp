// The test print and the head check from the main window to the private CUPS server: what the
// simulated printer and a file queue receive, what the job list says, and what a refused job, a
// queue without a picture driver and a printer that can't be reached do.
#include "ModalScript.h"
#include "PrivateCups.h"
#include "ScriptedPrompts.h"
#include "TestText.h"
#include "app/CSetbridgeDlg.h"
#include "printer/SystemSpooler.h"
#include "res/Strings.h"
#include "settings/AutoSettings.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QtTest>

#include <cups/cups.h>

namespace {

constexpr char kFileQueue[] = "File_Printer";
constexpr char kRejectingQueue[] = "Rejecting_Printer";
// The same with a driver that prints pictures: CUPS's image filters make raster of them.
constexpr char kRasterQueue[] = "Raster_Printer";
constexpr char kRasterFileQueue[] = "Raster_File_Printer";
constexpr char kUnreachableQueue[] = "Unreachable_Printer";

// The newest job of `queue`: its name and id (0 when there is none).
struct JobEntry
{
    QString name;
    int id = 0;
};

JobEntry lastJob(const QString &queue)
{
    cups_job_t *jobs = nullptr;
    const QByteArray name = queue.toUtf8();
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, name.constData(), 0, CUPS_WHICHJOBS_ALL);
    JobEntry newest;
    for (int i = 0; i < count; ++i) {
        if (jobs[i].id > newest.id)
            newest = {QString::fromUtf8(jobs[i].title), jobs[i].id};
    }
    cupsFreeJobs(count, jobs);
    return newest;
}

// One job attribute as the scheduler keeps it, e.g. "300dpi"; empty when the job has none.
QString jobAttribute(int jobId, const char *attributeName)
{
    const QByteArray uri = QByteArray("ipp://localhost/jobs/") + QByteArray::number(jobId);
    ipp_t *request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ipp_t *response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    QString value;
    if (ipp_attribute_t *attribute = ippFindAttribute(response, attributeName, IPP_TAG_ZERO)) {
        char buffer[256];
        ippAttributeString(attribute, buffer, sizeof buffer);
        value = QString::fromUtf8(buffer);
    }
    ippDelete(response);
    return value;
}

QImage testLabel()
{
    return QImage(QStringLiteral(":/testlabel.bmp")).convertToFormat(QImage::Format_Grayscale8);
}

// The first device pixel of `page` (as the simulated printer lays it out, 0 black) that is not as
// the label at the page's origin, one device pixel per label pixel, would ink it; empty when none.
QString firstMisprinted(const QImage &page, const QImage &label)
{
    for (int y = 0; y < page.height(); ++y) {
        const uchar *row = page.constScanLine(y);
        for (int x = 0; x < page.width(); ++x) {
            const bool inked = x < label.width() && y < label.height() && label.constScanLine(y)[x] < 128;
            if ((row[x] < 128) != inked)
                return QStringLiteral("device pixel (%1, %2)").arg(x).arg(y);
        }
    }
    return {};
}

QString sourceFile(const char *path)
{
    return qEnvironmentVariable("SBQ_SOURCE_DIR") + QLatin1Char('/') + QLatin1String(path);
}

}  // namespace

class TestServiceJobs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void headCheckDeliversTheCommand();
    void testPrintDeliversTheLabel_data();
    void testPrintDeliversTheLabel();
    void testPrintNeedsAPictureDriver_data();
    void testPrintNeedsAPictureDriver();
    void refusedJobs_data();
    void refusedJobs();
    void headCheckOnAPrinterThatCantBeReached();

private:
    QStringList messages() const { return m_prompts.texts(); }
    QString fileQueueOutput(const QString &queue) const { return m_cups.folder() + QLatin1Char('/') + queue + ".out"; }
    QString simulatorLog() const;
    QStringList simulatorPages() const;
    QImage waitForPage(int pagesBefore) const;
    QByteArray waitForFile(const QString &path) const;

    PrivateCups m_cups;
    std::unique_ptr<Spooler> m_spooler;
    QTemporaryDir m_data;
    ScriptedPrompts m_prompts;
    std::unique_ptr<ModalScript> m_user;
    std::unique_ptr<CSetbridgeDlg> m_window;
};

void TestServiceJobs::initTestCase()
{
    QVERIFY2(m_cups.start(), qPrintable(m_cups.error()));
    QVERIFY(m_data.isValid());
    // The program's own spooler, recording what it sends in this test's ledger.
    qputenv("SBQ740_LEDGER", m_data.filePath(QStringLiteral("sent.jsonl")).toUtf8());
    m_spooler = makeSystemSpooler();

    // The window starts with the one queue and takes it; the others come afterwards.
    m_window = std::make_unique<CSetbridgeDlg>(CSetbridgeDlg::Services{
        m_prompts, *m_spooler, m_data.path().toStdString(), QStringLiteral("/nonexistent/sbq740.html")});
    m_window->setTerminateHandler([](int) {});
    QVERIFY(m_window->OnInitDialog());
    QCOMPARE(m_window->selectedPrinter().m_strPrinterName, std::string(PrivateCups::kDefaultQueue));

    QVERIFY2(m_cups.addQueue(kFileQueue, QStringLiteral("file:") + fileQueueOutput(kFileQueue)),
             qPrintable(m_cups.error()));
    QVERIFY2(m_cups.addQueue(kRejectingQueue), qPrintable(m_cups.error()));
    QVERIFY(m_cups.rejectJobs(kRejectingQueue));
    QVERIFY2(m_cups.addQueue(kRasterQueue), qPrintable(m_cups.error()));
    QVERIFY2(m_cups.addQueue(kRasterFileQueue, QStringLiteral("file:") + fileQueueOutput(kRasterFileQueue)),
             qPrintable(m_cups.error()));
    for (const char *queue : {kRasterQueue, kRasterFileQueue}) {
        m_cups.run("lpadmin", {"-p", queue, "-P", sourceFile("tools/ppd/QAV-Quillotron-740Q2-raster.ppd")});
        QVERIFY2(m_cups.error().isEmpty(), qPrintable(m_cups.error()));
    }
    QTcpServer closed;  // a loopback port that nothing listens on once it is closed
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const QString closedUri = QStringLiteral("socket://127.0.0.1:%1").arg(closed.serverPort());
    closed.close();
    QVERIFY2(m_cups.addQueue(kUnreachableQueue, closedUri), qPrintable(m_cups.error()));
}

void TestServiceJobs::init()
{
    m_prompts.clear();
    m_user = std::make_unique<ModalScript>();
    m_window->selectedPrinter() = {"socket://127.0.0.1", PrivateCups::kDefaultQueue};
}

void TestServiceJobs::cleanup()
{
    m_user.reset();
}

QString TestServiceJobs::simulatorLog() const
{
    QFile log(m_cups.folder() + QStringLiteral("/sim/log.txt"));
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}

// The pages the simulated printer laid out from raster jobs, and every file it stored.
QStringList TestServiceJobs::simulatorPages() const
{
    return QDir(m_cups.jobsFolder()).entryList({QStringLiteral("job-*-page1.pgm")}, QDir::Files, QDir::Name);
}

QImage TestServiceJobs::waitForPage(int pagesBefore) const
{
    const QDeadlineTimer deadline(std::chrono::seconds(20));
    QImage page;
    while (page.isNull() && !deadline.hasExpired()) {
        QThread::msleep(50);
        if (const QStringList pages = simulatorPages(); pages.size() > pagesBefore)
            page.load(QDir(m_cups.jobsFolder()).filePath(pages.last()));
    }
    return page;
}

QByteArray TestServiceJobs::waitForFile(const QString &path) const
{
    const QDeadlineTimer deadline(std::chrono::seconds(20));
    QByteArray written;
    for (qint64 size = -1; !deadline.hasExpired(); QThread::msleep(100)) {
        const QFileInfo file(path);
        if (file.exists() && file.size() > 0 && file.size() == size)
            break;
        size = file.exists() ? file.size() : -1;
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestServiceJobs::headCheckDeliversTheCommand()
{
    const int before = static_cast<int>(m_cups.jobs().size());

    m_window->OnHeadCheck();

    const QList<QByteArray> jobs = m_cups.waitForJobs(before + 1);
    QCOMPARE(jobs.size(), before + 1);
    QCOMPARE(jobs.last(), QByteArray("\x1b" "HD001,A\n") + QByteArray(251, '\0'));
    QCOMPARE(lastJob(PrivateCups::kDefaultQueue).name, QStringLiteral("Setbridge Check"));
    QCOMPARE(messages(), (QStringList{text(Str::kAskHeadCheck), text(Str::kHeadCheckDone)}));
    QVERIFY(simulatorLog().contains(QStringLiteral("head check")));
}

// A driver that prints pictures (the raster driver stands in for the maker's) gets the label: on
// the page from its top-left device pixel, one device pixel per label pixel, nothing else inked.
// A "FILE:" printer is printed to like any other.
void TestServiceJobs::testPrintDeliversTheLabel_data()
{
    QTest::addColumn<QString>("queue");
    QTest::addColumn<QString>("connection");
    QTest::newRow("simulated printer") << QString::fromLatin1(kRasterQueue) << QStringLiteral("socket://127.0.0.1");
    QTest::newRow("FILE: printer") << QString::fromLatin1(kRasterFileQueue) << QStringLiteral("FILE:");
}

void TestServiceJobs::testPrintDeliversTheLabel()
{
    QFETCH(QString, queue);
    QFETCH(QString, connection);

    m_window->selectedPrinter() = {connection.toStdString(), queue.toStdString()};
    const bool onFile = connection == QStringLiteral("FILE:");
    QFile::remove(fileQueueOutput(queue));
    const int pagesBefore = static_cast<int>(simulatorPages().size());
    const int rawBefore = static_cast<int>(m_cups.jobs().size());

    m_window->OnTestPrint();

    QCOMPARE(messages(), QStringList{text(Str::kAskTestPrint)});
    if (onFile) {
        // CUPS raster, as the driver made it: its sync word, in either byte order
        const QByteArray sync = waitForFile(fileQueueOutput(queue)).left(4);
        QVERIFY2(QByteArrayList({"RaS2", "2SaR", "RaS3", "3SaR"}).contains(sync), sync.toHex().constData());
    } else {
        const QImage page = waitForPage(pagesBefore);
        QCOMPARE(page.size(), QSize(1950, 1200));  // the raster driver's label, 6.5 x 4 in at 300 dpi
        const QString misprinted = firstMisprinted(page, testLabel());
        QVERIFY2(misprinted.isEmpty(), qPrintable(misprinted));
    }

    const JobEntry job = lastJob(queue);
    QCOMPARE(job.name, QStringLiteral("testprint"));
    // CUPS's image filters are asked for the picture upright, from the top-left corner, at the
    // printer's resolution.
    QCOMPARE(jobAttribute(job.id, "orientation-requested"), QStringLiteral("portrait"));
    QCOMPARE(jobAttribute(job.id, "position"), QStringLiteral("top-left"));
    QCOMPARE(jobAttribute(job.id, "ppi"), QStringLiteral("300"));
    QCOMPARE(jobAttribute(job.id, "printer-resolution"), QStringLiteral("300dpi"));

    QFile ledger(m_data.filePath(QStringLiteral("sent.jsonl")));
    QVERIFY(ledger.open(QIODevice::ReadOnly));
    const QJsonObject recorded = QJsonDocument::fromJson(ledger.readAll().trimmed().split('\n').last()).object();
    QCOMPARE(recorded["group"].toString(), QStringLiteral("testprint"));
    QCOMPARE(recorded["printer"].toString(), queue);
    QCOMPARE(recorded["job_id"].toInt(), job.id);
    QCOMPARE(recorded["outcome"].toString(), QStringLiteral("accepted"));

    QTest::qWait(200);
    QCOMPARE(simulatorPages().size(), pagesBefore + (onFile ? 0 : 1));  // one job, one page
    QCOMPARE(m_cups.jobs().size(), rawBefore);
}

// The package's settings queue takes no pictures: the label is not sent at all, and the user is
// told why; nothing reaches the printer or the file.
void TestServiceJobs::testPrintNeedsAPictureDriver_data()
{
    QTest::addColumn<QString>("queue");
    QTest::addColumn<QString>("connection");
    QTest::newRow("simulated printer") << QString::fromLatin1(PrivateCups::kDefaultQueue)
                                       << QStringLiteral("socket://127.0.0.1");
    QTest::newRow("FILE: printer") << QString::fromLatin1(kFileQueue) << QStringLiteral("FILE:");
}

void TestServiceJobs::testPrintNeedsAPictureDriver()
{
    QFETCH(QString, queue);
    QFETCH(QString, connection);

    m_window->selectedPrinter() = {connection.toStdString(), queue.toStdString()};
    QFile::remove(fileQueueOutput(queue));
    const QStringList stored = QDir(m_cups.jobsFolder()).entryList(QDir::Files);
    const int jobBefore = lastJob(queue).id;

    m_window->OnTestPrint();

    QCOMPARE(messages(), (QStringList{text(Str::kAskTestPrint), text(Str::kTestPrintNeedsDriver)}));
    QCOMPARE(m_prompts.shown().last().icon, UserPrompts::Icon::Warning);
    QCOMPARE(lastJob(queue).id, jobBefore);
    QTest::qWait(500);
    QCOMPARE(QDir(m_cups.jobsFolder()).entryList(QDir::Files), stored);
    QVERIFY(!QFile::exists(fileQueueOutput(queue)));
}

void TestServiceJobs::refusedJobs_data()
{
    QTest::addColumn<bool>("headCheck");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("selectionsShown");
    QTest::newRow("head check") << true
                                << QStringList{text(Str::kAskHeadCheck), text(Str::kPrinterUnavailable)} << 1;
    // A settings queue: that it takes no pictures is told even while it rejects jobs.
    QTest::newRow("test print") << false << QStringList{text(Str::kAskTestPrint), text(Str::kTestPrintNeedsDriver)}
                                << 0;
}

void TestServiceJobs::refusedJobs()
{
    QFETCH(bool, headCheck);
    QFETCH(QStringList, messages);
    QFETCH(int, selectionsShown);

    m_window->selectedPrinter() = {"socket://127.0.0.1", kRejectingQueue};
    const QStringList stored = QDir(m_cups.jobsFolder()).entryList(QDir::Files);
    QStringList rows;
    int selected = -1;
    m_user->then(ModalScript::readPrinterList(rows, selected, ModalScript::cancel()));

    if (headCheck)
        m_window->OnHeadCheck();
    else
        m_window->OnTestPrint();

    QCOMPARE(this->messages(), messages);
    QCOMPARE(m_user->played(), selectionsShown);
    QCOMPARE(m_window->selectedPrinter().m_strPrinterName, std::string(kRejectingQueue));  // cancelled
    QTest::qWait(200);
    QCOMPARE(QDir(m_cups.jobsFolder()).entryList(QDir::Files), stored);
}

// The printer's queue points at a port nothing listens on: the head check is not reported done
// (it was, while the job waited in the queue); the job is cancelled, then the failure message and
// the printer selection follow, all within the send's total time.
void TestServiceJobs::headCheckOnAPrinterThatCantBeReached()
{
    m_window->selectedPrinter() = {"socket://127.0.0.1", kUnreachableQueue};
    QStringList rows;
    int selected = -1;
    m_user->then(ModalScript::readPrinterList(rows, selected, ModalScript::cancel()));

    QElapsedTimer clock;
    clock.start();
    m_window->OnHeadCheck();
    const qint64 elapsed = clock.elapsed();

    QCOMPARE(messages(), (QStringList{text(Str::kAskHeadCheck), text(Str::kPrinterUnavailable)}));
    QCOMPARE(m_prompts.shown().last().details,
             QStringLiteral("The printer may not exist or is unavailable at this time."));
    QCOMPARE(m_user->played(), 1);
    QVERIFY2(elapsed < 20000, qPrintable(QString::number(elapsed)));
    qInfo("an unreachable printer was told after %lld ms", static_cast<long long>(elapsed));
    const JobEntry job = lastJob(kUnreachableQueue);
    QCOMPARE(job.name, QStringLiteral("Setbridge Check"));
    QCOMPARE(jobAttribute(job.id, "job-state"), QStringLiteral("canceled"));
}

QTEST_MAIN(TestServiceJobs)
#include "tst_service_jobs.moc"
