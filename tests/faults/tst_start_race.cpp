// Many starts of the real program at the same moment: exactly one keeps running with its window,
// every other one ends by itself with code 0.
#include "PrivateCups.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

constexpr int kEndsWithinMs = 30000;

// The running instance listens once its window is about to open.
bool listening(const QString &programName)
{
    QLocalSocket socket;
    socket.connectToServer(QStringLiteral("%1-%2").arg(programName).arg(::getuid()));
    return socket.waitForConnected(100);
}

}  // namespace

class TestStartRace : public QObject
{
    Q_OBJECT

private:
    PrivateCups m_cups;
    QTemporaryDir m_dir;
    QList<QProcess *> m_started;

    // A copy of the program under `name` in a folder of its own, so the race has its own lock.
    QString copyOfProgram(const QString &name)
    {
        const QString folder = m_dir.filePath(name);
        QDir().mkpath(folder);
        const QString path = QDir(folder).filePath(name);
        QFile::copy(QStringLiteral(SBQ_PROGRAM), path);
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
        return path;
    }

    QProcess *start(const QString &program)
    {
        auto *process = new QProcess(this);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("CUPS_SERVER"), m_cups.server());
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(program, {});
        m_started.append(process);
        return process;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_cups.start(), qPrintable(m_cups.error()));
    }

    void cleanup()
    {
        for (QProcess *process : std::as_const(m_started)) {
            process->kill();
            process->waitForFinished(5000);
        }
        qDeleteAll(m_started);
        m_started.clear();
    }

    void simultaneousStartsLeaveOneWindow_data()
    {
        QTest::addColumn<int>("starts");
        QTest::newRow("2 at once") << 2;
        QTest::newRow("8 at once") << 8;
        QTest::newRow("8 at once, again") << 8;
    }

    void simultaneousStartsLeaveOneWindow()
    {
        QFETCH(int, starts);
        const QString name = QStringLiteral("sbq740-race-%1-%2").arg(::getpid()).arg(QTest::currentDataTag()).replace(u' ', u'_').replace(u',', u'_');
        const QString program = copyOfProgram(name);
        QList<QProcess *> racers;
        for (int i = 0; i < starts; ++i)
            racers.append(start(program));

        // All but one end by themselves, each with code 0.
        QTRY_VERIFY_WITH_TIMEOUT(std::count_if(racers.begin(), racers.end(),
                                               [](QProcess *p) { return p->state() == QProcess::NotRunning; })
                                     >= starts - 1,
                                 kEndsWithinMs);
        QTest::qWait(1000);  // a second survivor would show by now
        int running = 0;
        for (QProcess *process : std::as_const(racers)) {
            if (process->state() != QProcess::NotRunning) {
                ++running;
                continue;
            }
            QCOMPARE(process->exitStatus(), QProcess::NormalExit);
            QCOMPARE(process->exitCode(), 0);
        }
        QCOMPARE(running, 1);
        QTRY_VERIFY_WITH_TIMEOUT(listening(name), 15000);
    }
};

QTEST_GUILESS_MAIN(TestStartRace)
#include "tst_start_race.moc"
