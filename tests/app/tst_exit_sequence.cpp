#include "FakeHost.h"
#include "FileFixtures.h"
#include "commands/ExitSequence.h"
#include "res/Strings.h"
#include "settings/AutoSettings.h"
#include "settings/SettingsFile.h"

#include <QTemporaryDir>
#include <QTest>


namespace {

using Answer = UserPrompts::Answer;
using SaveResult = CommandHost::SaveResult;

const QString kAskSend = QString::fromUtf8(Str::kAskSendBeforeExit);
const QString kAskSave = QString::fromUtf8(Str::kAskSaveBeforeExit);

}  // namespace

class TestExitSequence : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::filesystem::path folder() const { return m_dir.path().toStdString(); }

private slots:
    void init()
    {
        std::filesystem::remove(AutoSettings::path(folder()));
    }

    // Which questions are asked follows from the two comparisons, both made before asking.
    void questions_data()
    {
        QTest::addColumn<bool>("editSent");   // the collected image differs from the sent copy
        QTest::addColumn<bool>("editSaved");  // ... from the saved copy
        QTest::addColumn<QStringList>("asked");
        QTest::newRow("unchanged") << false << false << QStringList{};
        QTest::newRow("unsent only") << true << false << QStringList{kAskSend};
        QTest::newRow("unsaved only") << false << true << QStringList{kAskSave};
        QTest::newRow("both") << true << true << QStringList{kAskSend, kAskSave};
    }

    void questions()
    {
        QFETCH(bool, editSent);
        QFETCH(bool, editSaved);
        QFETCH(QStringList, asked);
        FakeHost host;
        host.setDataFolder(folder());
        SettingsImage edited = SettingsImage::factory();
        edited[46] = 'F';
        host.collect = [&](SettingsImage &image) { image = edited; };
        if (!editSent)
            host.images().sent = edited;
        if (!editSaved)
            host.images().saved = edited;
        host.scripted().answer(Answer::No);
        host.scripted().answer(Answer::No);

        QVERIFY(SettingsCommands::OnExit(host));
        QCOMPARE(host.scripted().texts(), asked);
        QVERIFY(host.ended());
        QCOMPARE(FileFixtures::readBytes(AutoSettings::path(folder())), FileFixtures::settingsFileBytes(edited));
    }

    void answers_data()
    {
        QTest::addColumn<QList<int>>("answers");  // UserPrompts::Answer values, in order
        QTest::addColumn<int>("sendResult");
        QTest::addColumn<int>("saveResult");      // SaveResult
        QTest::addColumn<bool>("ends");
        QTest::addColumn<QStringList>("calls");
        const int cancelled = int(SaveResult::Cancelled), done = int(SaveResult::Done);
        const int yes = int(Answer::Yes), no = int(Answer::No), cancel = int(Answer::Cancel);
        QTest::newRow("cancel at send") << QList<int>{cancel} << 0 << done << false << QStringList{};
        QTest::newRow("yes, send not attempted") << QList<int>{yes} << -1 << done << false
                                                 << QStringList{"OnSendSettings"};
        QTest::newRow("yes, send done or failed") << QList<int>{yes, no} << 0 << done << true
                                                  << QStringList{"OnSendSettings"};
        QTest::newRow("cancel at save") << QList<int>{no, cancel} << 0 << done << false << QStringList{};
        QTest::newRow("yes, save dialog cancelled") << QList<int>{no, yes} << 0 << cancelled << false
                                                    << QStringList{"OnSaveSettings"};
        QTest::newRow("yes, save done") << QList<int>{no, yes} << 0 << done << true << QStringList{"OnSaveSettings"};
    }

    void answers()
    {
        QFETCH(QList<int>, answers);
        QFETCH(int, sendResult);
        QFETCH(int, saveResult);
        QFETCH(bool, ends);
        QFETCH(QStringList, calls);
        FakeHost host;
        host.setDataFolder(folder());
        host.collect = [](SettingsImage &image) { image[46] = 'F'; };
        host.send = [&] { return sendResult; };
        host.save = [&] { return SaveResult(saveResult); };
        for (int answer : answers)
            host.scripted().answer(Answer(answer));

        QCOMPARE(SettingsCommands::OnExit(host), ends);
        QCOMPARE(host.ended(), ends);
        QStringList commands = host.calls().filter(QRegularExpression("^On(Send|Save)Settings$"));
        QCOMPARE(commands, calls);
        // Staying open writes nothing.
        QCOMPARE(std::filesystem::exists(AutoSettings::path(folder())), ends);
    }

    void writesWithoutTruncatingALongerFile()
    {
        const std::string tail = "beyond the 282nd byte";
        FileFixtures::writeBytes(AutoSettings::path(folder()), FileFixtures::settingsFileBytes(SettingsImage::factory()) + tail);
        FakeHost host;
        host.setDataFolder(folder());
        QVERIFY(SettingsCommands::OnExit(host));
        QCOMPARE(FileFixtures::readBytes(AutoSettings::path(folder())), FileFixtures::settingsFileBytes(SettingsImage::factory()) + tail);
    }

    void factoryCommandAsksFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("reset");
        QTest::newRow("OK") << int(Answer::Ok) << true;
        QTest::newRow("Cancel") << int(Answer::Cancel) << false;
    }

    void factoryCommandAsksFirst()
    {
        QFETCH(int, answer);
        QFETCH(bool, reset);
        FakeHost host;
        host.scripted().answer(Answer(answer));
        SettingsCommands::OnFactorySettings(host);
        QCOMPARE(host.scripted().texts(), QStringList{QString::fromUtf8(Str::kAskFactory)});
        QCOMPARE(host.calls().contains("ResetToFactory"), reset);
    }
};

// The automatic settings file on its own: what start-up reads.
class TestAutoSettingsRead : public QObject
{
    Q_OBJECT

private slots:
    void read_data()
    {
        QTest::addColumn<QByteArray>("content");  // empty: no file
        QTest::addColumn<bool>("factory");
        SettingsImage edited = SettingsImage::factory();
        edited[46] = 'F';
        const std::string good = FileFixtures::settingsFileBytes(edited);
        std::string byte21 = good;
        byte21[21] = ' ';
        std::string otherHeader = good;
        otherHeader[4] = 'q';
        QTest::newRow("no file") << QByteArray() << true;
        QTest::newRow("valid") << QByteArray::fromStdString(good) << false;
        QTest::newRow("longer, tail ignored") << QByteArray::fromStdString(good + "tail") << false;
        QTest::newRow("byte 21 not NUL") << QByteArray::fromStdString(byte21) << true;
        QTest::newRow("header differs") << QByteArray::fromStdString(otherHeader) << true;
        QTest::newRow("header only") << QByteArray::fromStdString(good.substr(0, 22)) << true;
        QTest::newRow("short image") << QByteArray::fromStdString(good.substr(0, 281)) << true;
        QTest::newRow("shorter than the header") << QByteArray("QAV") << true;
    }

    void read()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, factory);
        QTemporaryDir dir;
        const std::filesystem::path folder = dir.path().toStdString();
        if (!content.isEmpty())
            FileFixtures::writeBytes(AutoSettings::path(folder), content.toStdString());
        const SettingsImage image = AutoSettings::read(folder);
        QCOMPARE(image == SettingsImage::factory(), factory);
        if (!factory)
            QCOMPARE(image[46], 'F');
    }
};

int main(int argc, char *argv[])
{
    TestExitSequence exitSequence;
    TestAutoSettingsRead autoSettings;
    return QTest::qExec(&exitSequence, argc, argv) | QTest::qExec(&autoSettings, argc, argv);
}

#include "tst_exit_sequence.moc"
