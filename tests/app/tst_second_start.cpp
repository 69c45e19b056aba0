#include "PrivateCups.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include <algorithm>

namespace {
constexpr int kRacersEndWithinMs = 30000;
}

// The real program, started more than once: a later start hands over to the first and ends; a
// copy under another file name is another program and runs beside it.
class TestSecondStart : public QObject
{
    Q_OBJECT

private:
    PrivateCups m_cups;
    QTemporaryDir m_dir;
    QList<QProcess *> m_running;

    // A copy of the program under `name`, in a folder of its own (so its "setting" is its own).
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
        m_running.append(process);
        return process;
    }

    // The first instance listens once its window is about to open.
    static bool listening(const QString &programName)
    {
        QLocalSocket socket;
        socket.connectToServer(QStringLiteral("%1-%2").arg(programName).arg(::getuid()));
        return socket.waitForConnected(100);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_cups.start(), qPrintable(m_cups.error()));
    }

    void cleanup()
    {
        for (QProcess *process : std::as_const(m_running)) {
            process->kill();
            process->waitForFinished(5000);
        }
        qDeleteAll(m_running);
        m_running.clear();
    }

    void secondStartEndsAndLeavesTheFirstRunning()
    {
        const QString name = QStringLiteral("sbq740-once-%1").arg(::getpid());
        const QString program = copyOfProgram(name);
        QProcess *first = start(program);
        QVERIFY(first->waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(listening(name), 15000);

        QProcess *second = start(program);
        QVERIFY(second->waitForFinished(10000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);
    }

    void copiesUnderOtherNamesBothRun()
    {
        const QString one = QStringLiteral("sbq740-one-%1").arg(::getpid());
        const QString other = QStringLiteral("sbq740-other-%1").arg(::getpid());
        start(copyOfProgram(one));
        start(copyOfProgram(other));
        QTRY_VERIFY_WITH_TIMEOUT(listening(one), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(listening(other), 15000);
        for (QProcess *process : std::as_const(m_running))
            QCOMPARE(process->state(), QProcess::Running);
    }

    // Many starts at the same moment: exactly one keeps running with its window, every other one
    // ends by itself with code 0.
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
                                 kRacersEndWithinMs);
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

    void registrationSwitchesEndAtOnce_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::newRow("/RegServer") << QStringLiteral("/RegServer");
        QTest::newRow("-unregserver") << QStringLiteral("-unregserver");
        QTest::newRow("-Embedding") << QStringLiteral("-Embedding");
    }

    void registrationSwitchesEndAtOnce()
    {
        QFETCH(QString, argument);
        QProcess process;
        process.start(QStringLiteral(SBQ_PROGRAM), {argument});
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSecondStart)
#include "tst_second_start.moc"
