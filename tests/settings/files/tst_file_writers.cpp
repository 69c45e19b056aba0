// Settings files written by more than one program at once, and through links, with the real
// sbq740-cli: every change a program reported as written is in the file afterwards.
#include "FileFixtures.h"
#include "res/Strings.h"
#include "settings/SettingsFile.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace FileFixtures;
namespace fs = std::filesystem;

namespace {

constexpr int kRounds = 25;
constexpr int kProcessMs = 15000;

// The two changes the racing programs make, at their places in the image.
constexpr std::size_t kGateway = 117;  // "010,000,000,001" for ip.gateway=10.0.0.1
constexpr std::size_t kPort = 163;     // "01234" for ip.port=1234

bool hasGateway(const SettingsImage &image)
{
    return std::string_view(image.data() + kGateway, 15) == "010,000,000,001";
}

bool hasPort(const SettingsImage &image)
{
    return std::string_view(image.data() + kPort, 5) == "01234";
}

}  // namespace

class TestFileWriters : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    QProcess *startCli(QStringList arguments)
    {
        arguments.replaceInStrings("$F", path("f.dat")).replaceInStrings("$DIR", m_dir.path());
        auto *process = new QProcess(this);
        process->start(QStringLiteral(SBQ_CLI), arguments);
        return process;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        writeBytes(path("gateway.json").toStdString(),
                   R"({"format": "sbq740-settings", "version": 1, "fields": {"ip.gateway": {"value": "10.0.0.1"}}})");
        fs::create_symlink("f.dat", path("link.dat").toStdString());
    }

    void concurrentChangesAreAllKept_data()
    {
        QTest::addColumn<QStringList>("other");  // runs beside "set $F ip.port=1234"
        QTest::addColumn<bool>("readsFile");      // builds on the file: both changes stay
        QTest::newRow("set") << QStringList{"set", "$F", "ip.gateway=10.0.0.1"} << true;
        QTest::newRow("set through a link") << QStringList{"set", "$DIR/link.dat", "ip.gateway=10.0.0.1"} << true;
        QTest::newRow("import onto its base") << QStringList{"import", "$DIR/gateway.json", "--base", "$F", "-o", "$F"}
                                               << true;
        QTest::newRow("import over it") << QStringList{"import", "$DIR/gateway.json", "-o", "$F"} << false;
    }

    // Two programs started together, round after round: both report the file written, and the
    // file holds both changes (or, after a program that replaces it whole, that one's at least).
    void concurrentChangesAreAllKept()
    {
        QFETCH(QStringList, other);
        QFETCH(bool, readsFile);
        int lost = 0;
        for (int round = 0; round < kRounds; ++round) {
            writeBytes(path("f.dat").toStdString(), settingsFileBytes(SettingsImage::factory()));
            const std::unique_ptr<QProcess> set(startCli({"set", "$F", "ip.port=1234"}));
            const std::unique_ptr<QProcess> second(startCli(other));
            for (QProcess *process : {set.get(), second.get()}) {
                QVERIFY(process->waitForFinished(kProcessMs));
                QCOMPARE(process->exitCode(), 0);
            }
            const std::optional<SettingsImage> image = SettingsFile::read(path("f.dat").toStdString());
            QVERIFY(image);
            if (!hasGateway(*image) || (readsFile && !hasPort(*image)))
                ++lost;
        }
        QCOMPARE(lost, 0);
        // No lock file and no new file stay behind.
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"f.dat", "gateway.json", "link.dat"}));
    }

    void linkTheUserNamed_data()
    {
        QTest::addColumn<bool>("othersFile");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("to the user's own file") << false << 0;
        QTest::newRow("to another user's file") << true << 2;
    }

    // `set` through a link writes the file the link leads to, and the link stays, when that file
    // is the user's own; otherwise the write is refused, with the message for a failed write.
    void linkTheUserNamed()
    {
        QFETCH(bool, othersFile);
        QFETCH(int, exitCode);
        const std::string before = settingsFileBytes(SettingsImage::factory());
        writeBytes(path("f.dat").toStdString(), before);
        if (othersFile) {
            if (!runningAsRoot())
                QSKIP("only root can make a file of another user");
            QCOMPARE(::chown(QFile::encodeName(path("f.dat")).constData(), 65534, 65534), 0);
        }

        const std::unique_ptr<QProcess> set(startCli({"set", "$DIR/link.dat", "ip.port=1234"}));
        QVERIFY(set->waitForFinished(kProcessMs));

        QCOMPARE(set->exitCode(), exitCode);
        QVERIFY(fs::is_symlink(path("link.dat").toStdString()));
        const std::optional<SettingsImage> image = SettingsFile::read(path("f.dat").toStdString());
        QVERIFY(image);
        QCOMPARE(hasPort(*image), !othersFile);
        if (othersFile)
            QCOMPARE(QString::fromUtf8(set->readAllStandardError()),
                     path("link.dat") + ": " + QString::fromUtf8(Str::kSettingsWriteFailed) + "\n");
        if (othersFile)
            QCOMPARE(::chown(QFile::encodeName(path("f.dat")).constData(), ::geteuid(), ::getegid()), 0);
    }
};

QTEST_GUILESS_MAIN(TestFileWriters)
#include "tst_file_writers.moc"
