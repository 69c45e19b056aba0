// The test print and the head check from the main window to the private CUPS server: what the
// simulated printer and a file queue receive, what the job list says, and what a refused job does.
#include "AutoSettings.h"
#include "CSetbridgeDlg.h"
#include "CupsSpooler.h"
#include "ModalScript.h"
#include "PrivateCups.h"
#include "ScriptedPrompts.h"
#include "Strings.h"

#include <QtTest>

#include <cups/cups.h>

namespace {

constexpr char kFileQueue[] = "File_Printer";
constexpr char kRejectingQueue[] = "Rejecting_Printer";
constexpr int kDotsPerMetreAt300Dpi = 11811;

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

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
    return QImage(QStringLiteral(":/testlabel.bmp")).convertToFormat(QImage::Format_RGB888);
}

// The picture as the printer would print it: decoded, then compared pixel for pixel.
bool samePixels(const QImage &printed, const QImage &expected)
{
    return printed.convertToFormat(QImage::Format_RGB888) == expected;
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
    void refusedJobs_data();
    void refusedJobs();

private:
    QStringList messages() const { return m_prompts.texts(); }
    QString fileQueueOutput() const { return m_cups.folder() + QStringLiteral("/file-printer.out"); }
    QString simulatorLog() const;
    QStringList simulatorPictures() const;
    QImage waitForPicture(bool onFileQueue, int picturesBefore) const;

    PrivateCups m_cups;
    std::unique_ptr<CupsSpooler> m_spooler;
    QTemporaryDir m_data;
    ScriptedPrompts m_prompts;
    std::unique_ptr<ModalScript> m_user;
    std::unique_ptr<CSetbridgeDlg> m_window;
};

void TestServiceJobs::initTestCase()
{
    QVERIFY2(m_cups.start(), qPrintable(m_cups.error()));
    QVERIFY(m_data.isValid());
    m_spooler = std::make_unique<CupsSpooler>();

    // The window starts with the one queue and takes it; the others come afterwards.
    m_window = std::make_unique<CSetbridgeDlg>(CSetbridgeDlg::Services{
        m_prompts, *m_spooler, m_data.path().toStdString(), QStringLiteral("/nonexistent/sbq740.html")});
    m_window->setTerminateHandler([](int) {});
    QVERIFY(m_window->OnInitDialog());
    QCOMPARE(m_window->selectedPrinter().m_strPrinterName, std::string(PrivateCups::kDefaultQueue));

    QVERIFY2(m_cups.addQueue(kFileQueue, QStringLiteral("file:") + fileQueueOutput()), qPrintable(m_cups.error()));
    QVERIFY2(m_cups.addQueue(kRejectingQueue), qPrintable(m_cups.error()));
    QVERIFY(m_cups.rejectJobs(kRejectingQueue));
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

QStringList TestServiceJobs::simulatorPictures() const
{
    return QDir(m_cups.jobsFolder()).entryList({QStringLiteral("job-*.png")}, QDir::Files, QDir::Name);
}

// The picture the job delivered: the simulator's newest picture, or what the file queue wrote.
QImage TestServiceJobs::waitForPicture(bool onFileQueue, int picturesBefore) const
{
    const QDeadlineTimer deadline(std::chrono::seconds(10));
    QImage picture;
    while (picture.isNull() && !deadline.hasExpired()) {
        QThread::msleep(20);
        if (onFileQueue) {
            picture.load(fileQueueOutput(), "PNG");
        } else if (const QStringList pictures = simulatorPictures(); pictures.size() > picturesBefore) {
            picture.load(QDir(m_cups.jobsFolder()).filePath(pictures.last()), "PNG");
        }
    }
    return picture;
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

void TestServiceJobs::testPrintDeliversTheLabel_data()
{
    QTest::addColumn<QString>("queue");
    QTest::addColumn<QString>("connection");
    QTest::addColumn<bool>("onFileQueue");
    QTest::newRow("simulated printer") << QString::fromLatin1(PrivateCups::kDefaultQueue)
                                       << QStringLiteral("socket://127.0.0.1") << false;
    QTest::newRow("FILE: printer") << QString::fromLatin1(kFileQueue) << QStringLiteral("FILE:") << true;
}

void TestServiceJobs::testPrintDeliversTheLabel()
{
    QFETCH(QString, queue);
    QFETCH(QString, connection);
    QFETCH(bool, onFileQueue);

    m_window->selectedPrinter() = {connection.toStdString(), queue.toStdString()};
    QFile::remove(fileQueueOutput());
    const int picturesBefore = static_cast<int>(simulatorPictures().size());
    const int rawBefore = static_cast<int>(m_cups.jobs().size());

    m_window->OnTestPrint();

    const QImage printed = waitForPicture(onFileQueue, picturesBefore);
    QCOMPARE(printed.size(), QSize(1244, 707));
    QVERIFY(samePixels(printed, testLabel()));
    QCOMPARE(printed.dotsPerMeterX(), kDotsPerMetreAt300Dpi);
    QCOMPARE(printed.dotsPerMeterY(), kDotsPerMetreAt300Dpi);
    QCOMPARE(messages(), QStringList{text(Str::kAskTestPrint)});

    const JobEntry job = lastJob(queue);
    QCOMPARE(job.name, QStringLiteral("testprint"));
    // CUPS's image filters are asked for the picture upright, from the top-left corner, at the
    // printer's resolution (tst_cups_spooler prints through them).
    QCOMPARE(jobAttribute(job.id, "orientation-requested"), QStringLiteral("portrait"));
    QCOMPARE(jobAttribute(job.id, "position"), QStringLiteral("top-left"));
    QCOMPARE(jobAttribute(job.id, "ppi"), QStringLiteral("300"));
    QCOMPARE(jobAttribute(job.id, "printer-resolution"), QStringLiteral("300dpi"));

    QTest::qWait(200);
    QCOMPARE(simulatorPictures().size(), picturesBefore + (onFileQueue ? 0 : 1));  // one job, one picture
    QCOMPARE(m_cups.jobs().size(), rawBefore);
    if (!onFileQueue)
        QVERIFY(simulatorLog().contains(QStringLiteral("image 1244x707, 8-bit RGB, 300x300 dpi")));
}

void TestServiceJobs::refusedJobs_data()
{
    QTest::addColumn<bool>("headCheck");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("selectionsShown");
    QTest::newRow("head check") << true
                                << QStringList{text(Str::kAskHeadCheck), text(Str::kPrinterUnavailable)} << 1;
    QTest::newRow("test print") << false << QStringList{text(Str::kAskTestPrint)} << 0;
}

void TestServiceJobs::refusedJobs()
{
    QFETCH(bool, headCheck);
    QFETCH(QStringList, messages);
    QFETCH(int, selectionsShown);

    m_window->selectedPrinter() = {"socket://127.0.0.1", kRejectingQueue};
    const int rawBefore = static_cast<int>(m_cups.jobs().size());
    const int picturesBefore = static_cast<int>(simulatorPictures().size());
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
    QCOMPARE(m_cups.jobs().size(), rawBefore);
    QCOMPARE(simulatorPictures().size(), picturesBefore);
}

QTEST_MAIN(TestServiceJobs)
#include "tst_service_jobs.moc"
