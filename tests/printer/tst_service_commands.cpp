// The test print and the head check on a host without a window.
#include "FakeHost.h"
#include "FakeTime.h"
#include "TestText.h"
#include "commands/ServiceCommands.h"
#include "res/Strings.h"

#include <QtTest>

using Answer = UserPrompts::Answer;
using Icon = UserPrompts::Icon;
using Buttons = UserPrompts::Buttons;

namespace {

enum class Command { TestPrint, HeadCheck };
// What the spooler does with the jobs.
enum class Queue { Prints, Refuses, TakesNoPictures, Stopped };

// A message as "icon buttons: text", so that a table can say what the user saw.
QString seen(Icon icon, Buttons buttons, const QString &message)
{
    const char *iconName = icon == Icon::Information ? "information" : icon == Icon::Warning ? "warning" : "error";
    const char *buttonsName = buttons == Buttons::OkCancel ? "ok-cancel" : buttons == Buttons::Ok ? "ok" : "other";
    return QStringLiteral("%1 %2: %3").arg(QLatin1String(iconName), QLatin1String(buttonsName), message);
}

QString question(const char *utf8)
{
    return seen(Icon::Information, Buttons::OkCancel, text(utf8));
}
QString information(const char *utf8)
{
    return seen(Icon::Information, Buttons::Ok, text(utf8));
}
QString warning(const char *utf8)
{
    return seen(Icon::Warning, Buttons::Ok, text(utf8));
}

// The test label as stored: 24-bit rows, bottom row first, each padded to four bytes, blue
// first. Read by hand here, so that the command's own reading is checked.
RgbImage labelFromFile()
{
    QFile file(qEnvironmentVariable("SBQ_SOURCE_DIR") + QStringLiteral("/res/testlabel.bmp"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bmp = file.readAll();
    constexpr int kWidth = 1244, kHeight = 707, kPixelsAt = 54, kStride = 3732;
    RgbImage image{kWidth, kHeight, {}};
    for (int y = 0; y < kHeight; ++y) {
        const char *row = bmp.constData() + kPixelsAt + (kHeight - 1 - y) * kStride;
        for (int x = 0; x < kWidth; ++x) {
            image.pixels.push_back(row[3 * x + 2]);
            image.pixels.push_back(row[3 * x + 1]);
            image.pixels.push_back(row[3 * x]);
        }
    }
    return image;
}

struct Window
{
    FakeHost host;
    FakeTime clock;

    explicit Window(const std::string &connection = "socket://127.0.0.1:9100")
    {
        host.selectedPrinter() = {connection, "Quillotron"};
    }
    void run(Command command)
    {
        if (command == Command::TestPrint)
            ServiceCommands::OnTestPrint(host);
        else
            ServiceCommands::OnHeadCheck(host, clock.time());
    }
    QStringList seenMessages()
    {
        QStringList result;
        for (const ScriptedPrompts::Shown &shown : host.scripted().shown())
            result.append(seen(shown.icon, shown.buttons, shown.text));
        return result;
    }
};

}  // namespace

Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(Queue)

class TestServiceCommands : public QObject
{
    Q_OBJECT

private slots:
    void outcomes_data();
    void outcomes();
    void headCheckJobIsTheCommandThenNul();
    void failedHeadCheckIsReportedBeforeTheSelection();
    void testPrintCarriesTheLabelPixelForPixel();
};

void TestServiceCommands::outcomes_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("connection");
    QTest::addColumn<Queue>("queue");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("rawJobs");
    QTest::addColumn<int>("imageJobs");
    QTest::addColumn<QStringList>("calls");

    const QString network = QStringLiteral("socket://127.0.0.1:9100");
    const QString file = QStringLiteral("FILE:");
    const QString askPrint = question(Str::kAskTestPrint);
    const QString askCheck = question(Str::kAskHeadCheck);
    const QStringList none;
    const QStringList collect{QStringLiteral("CollectImage")};

    QTest::newRow("test print cancelled") << Command::TestPrint << Answer::Cancel << network << Queue::Prints
                                          << QStringList{askPrint} << 0 << 0 << none;
    QTest::newRow("test print") << Command::TestPrint << Answer::Ok << network << Queue::Prints << QStringList{askPrint} << 0
                                << 1 << none;
    QTest::newRow("test print on a FILE: printer")
        << Command::TestPrint << Answer::Ok << file << Queue::Prints << QStringList{askPrint} << 0 << 1 << none;
    QTest::newRow("test print on a queue without a driver for pictures")
        << Command::TestPrint << Answer::Ok << network << Queue::TakesNoPictures
        << QStringList{askPrint, warning(Str::kTestPrintNeedsDriver)} << 0 << 0 << none;
    QTest::newRow("test print the spooler refuses")
        << Command::TestPrint << Answer::Ok << network << Queue::Refuses << QStringList{askPrint} << 0 << 0 << none;
    QTest::newRow("head check cancelled") << Command::HeadCheck << Answer::Cancel << network << Queue::Prints
                                          << QStringList{askCheck} << 0 << 0 << none;
    QTest::newRow("head check cancelled on a FILE: printer")
        << Command::HeadCheck << Answer::Cancel << file << Queue::Prints << QStringList{askCheck} << 0 << 0 << none;
    QTest::newRow("head check on a FILE: printer")
        << Command::HeadCheck << Answer::Ok << file << Queue::Prints
        << QStringList{askCheck, information(Str::kFileConnectionRefused)} << 0 << 0 << none;
    QTest::newRow("head check") << Command::HeadCheck << Answer::Ok << network << Queue::Prints
                                << QStringList{askCheck, information(Str::kHeadCheckDone)} << 1 << 0 << collect;
    QTest::newRow("head check the spooler refuses")
        << Command::HeadCheck << Answer::Ok << network << Queue::Refuses
        << QStringList{askCheck, warning(Str::kPrinterUnavailable)} << 0 << 0
        << QStringList{QStringLiteral("CollectImage"), QStringLiteral("OnSwitchPrinter")};
    QTest::newRow("head check waiting in a stopped queue")
        << Command::HeadCheck << Answer::Ok << network << Queue::Stopped
        << QStringList{askCheck, warning(Str::kHeadCheckWaiting).replace("%s", "paused")} << 1 << 0 << collect;
}

void TestServiceCommands::outcomes()
{
    QFETCH(Command, command);
    QFETCH(Answer, answer);
    QFETCH(QString, connection);
    QFETCH(Queue, queue);
    QFETCH(QStringList, messages);
    QFETCH(int, rawJobs);
    QFETCH(int, imageJobs);
    QFETCH(QStringList, calls);

    Window w(connection.toStdString());
    w.host.fakeSpooler().setFailJobs(queue == Queue::Refuses);
    w.host.fakeSpooler().setPrintsPictures(queue != Queue::TakesNoPictures);
    if (queue == Queue::Stopped)
        w.host.fakeSpooler().setProgress("Quillotron", {JobProgress::Phase::Pending, "paused"});
    w.host.scripted().answer(answer);
    const SelectedPrinter before = w.host.selectedPrinter();
    const SettingsImages images = w.host.images();

    w.run(command);

    QCOMPARE(w.seenMessages(), messages);
    QCOMPARE(static_cast<int>(w.host.fakeSpooler().jobs().size()), rawJobs);
    QCOMPARE(static_cast<int>(w.host.fakeSpooler().imageJobs().size()), imageJobs);
    QCOMPARE(w.host.calls(), calls);
    QCOMPARE(w.host.selectedPrinter().m_strPrinterName, before.m_strPrinterName);
    QVERIFY(w.host.images().current == images.current);
    QVERIFY(w.host.images().sent == images.sent);
    QVERIFY(w.host.images().saved == images.saved);
}

void TestServiceCommands::headCheckJobIsTheCommandThenNul()
{
    Window w;
    w.host.collect = [](SettingsImage &image) { image[216] = '1'; };  // what the pages hold now

    w.run(Command::HeadCheck);

    QCOMPARE(w.host.images().current[216], '1');
    QCOMPARE(w.host.fakeSpooler().jobs().size(), std::size_t{1});
    const FakeSpooler::Job &job = w.host.fakeSpooler().jobs().front();
    QCOMPARE(job.printer, std::string("Quillotron"));
    QCOMPARE(job.name, std::string("Setbridge Check"));
    QCOMPARE(job.bytes, std::string("\x1b" "HD001,A\n", 9) + std::string(251, '\0'));
}

void TestServiceCommands::failedHeadCheckIsReportedBeforeTheSelection()
{
    Window w;
    w.host.fakeSpooler().setFailJobs(true);
    QStringList shownWhenSelecting;
    w.host.switchPrinter = [&] {
        shownWhenSelecting = w.host.scripted().texts();
        w.host.selectedPrinter() = {"socket://127.0.0.1:9101", "Other"};
    };

    w.run(Command::HeadCheck);

    QCOMPARE(shownWhenSelecting, (QStringList{text(Str::kAskHeadCheck), text(Str::kPrinterUnavailable)}));
    QCOMPARE(w.host.scripted().texts().size(), 2);  // nothing more once the selection is over
    QVERIFY(w.host.fakeSpooler().jobs().empty());
}

void TestServiceCommands::testPrintCarriesTheLabelPixelForPixel()
{
    const RgbImage expected = labelFromFile();
    QVERIFY(expected.isValid());
    Window w(std::string("FILE:"));

    w.run(Command::TestPrint);

    QCOMPARE(w.host.fakeSpooler().imageJobs().size(), std::size_t{1});
    const FakeSpooler::ImageJob &job = w.host.fakeSpooler().imageJobs().front();
    QCOMPARE(job.printer, std::string("Quillotron"));
    QCOMPARE(job.name, std::string("testprint"));
    QCOMPARE(job.image.width, 1244);
    QCOMPARE(job.image.height, 707);
    QVERIFY(job.image.pixels == expected.pixels);
}

QTEST_MAIN(TestServiceCommands)
#include "tst_service_commands.moc"
