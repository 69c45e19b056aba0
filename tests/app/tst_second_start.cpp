#include "OtherUser.h"
#include "PrivateCups.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace {
constexpr int kRacersEndWithinMs = 30000;
constexpr int kWindowOpensWithinMs = 15000;
constexpr int kReadPendingMs = 500;
constexpr uid_t kNobody = 65534;

// What an earlier run, a power loss or another user left where the lock goes.
enum class Leftover { EmptyLock, OtherHostsLock, DeadProcessLock, OtherUsersLockWithoutRuntimeFolder };
}  // namespace

Q_DECLARE_METATYPE(Leftover)

// The real program, started more than once: a later start hands over to the first and ends; a
// copy under another file name is another program and runs beside it.
class TestSecondStart : public QObject
{
    Q_OBJECT

private:
    PrivateCups m_cups;
    QTemporaryDir m_dir;
    QTemporaryDir m_runtime;  // the session's runtime folder the programs are given
    QTemporaryDir m_temp;     // and their temporary folder, shared with others as /tmp is
    QTemporaryDir m_cache;    // and their cache folder
    QList<QProcess *> m_running;
    bool m_withRuntimeFolder = true;

    QString lockFile(const QString &folder, const QString &programName) const
    {
        return QDir(folder).filePath(QStringLiteral("%1-%2.lock").arg(programName).arg(::geteuid()));
    }
    QString ownTempFolder() const { return QDir(m_temp.path()).filePath(QStringLiteral("sbq740-%1").arg(::geteuid())); }
    QString ownCacheFolder() const { return QDir(m_cache.path()).filePath(QStringLiteral("sbq740")); }

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

    // `fontConfig`, when given, is the only font configuration the program sees, and its standard
    // error is kept for the test to read.
    QProcess *start(const QString &program, const QStringList &arguments = {}, const QString &fontConfig = {})
    {
        auto *process = new QProcess(this);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!fontConfig.isEmpty())
            environment.insert(QStringLiteral("FONTCONFIG_FILE"), fontConfig);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("CUPS_SERVER"), m_cups.server());
        environment.insert(QStringLiteral("TMPDIR"), m_temp.path());
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_cache.path());
        if (m_withRuntimeFolder)
            environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        else
            environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(fontConfig.isEmpty() ? QProcess::ForwardedErrorChannel : QProcess::SeparateChannels);
        process->start(program, arguments);
        m_running.append(process);
        return process;
    }

    // The first instance listens on its activation socket from the start.
    bool listening(const QString &programName) const
    {
        const QString folder = m_withRuntimeFolder ? m_runtime.path() : ownCacheFolder();
        QLocalSocket socket;
        socket.connectToServer(QDir(folder).filePath(QStringLiteral("%1-%2.socket").arg(programName).arg(::geteuid())));
        return socket.waitForConnected(100);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid() && m_temp.isValid() && m_cache.isValid());
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(::chmod(QFile::encodeName(m_temp.path()).constData(), 01777) == 0);
        QVERIFY2(m_cups.start(), qPrintable(m_cups.error()));
    }

    void init()
    {
        m_withRuntimeFolder = true;
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

    void leftoverLockOpensTheWindow_data()
    {
        QTest::addColumn<Leftover>("leftover");
        QTest::newRow("empty lock file") << Leftover::EmptyLock;
        QTest::newRow("lock naming another host") << Leftover::OtherHostsLock;
        QTest::newRow("lock of a dead process") << Leftover::DeadProcessLock;
        QTest::newRow("another user's lock, no runtime folder") << Leftover::OtherUsersLockWithoutRuntimeFolder;
    }

    // A lock file of any content, or another user's, never keeps the window from opening.
    void leftoverLockOpensTheWindow()
    {
        QFETCH(Leftover, leftover);
        const QString name = QStringLiteral("sbq740-left-%1-%2").arg(::getpid()).arg(int(leftover));
        const QString program = copyOfProgram(name);
        QByteArray content;
        QString lock = lockFile(m_runtime.path(), name);
        switch (leftover) {
        case Leftover::EmptyLock:
            break;
        case Leftover::OtherHostsLock:
            content = "4242\nsbq740\nanother-host.example\n";
            break;
        case Leftover::DeadProcessLock:
            content = "999999\nsbq740\n" + QSysInfo::machineHostName().toUtf8() + "\n";
            break;
        case Leftover::OtherUsersLockWithoutRuntimeFolder:
            if (::geteuid() != 0)
                QSKIP("only root can leave another user's file");
            m_withRuntimeFolder = false;
            QDir().mkpath(ownCacheFolder());
            lock = lockFile(ownCacheFolder(), name);
            break;
        }
        QFile file(lock);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        if (leftover == Leftover::OtherUsersLockWithoutRuntimeFolder)
            QCOMPARE(::chown(QFile::encodeName(lock).constData(), kNobody, kNobody), 0);

        QProcess *process = start(program);
        QTRY_VERIFY_WITH_TIMEOUT(listening(name) || process->state() == QProcess::NotRunning, kWindowOpensWithinMs);
        QCOMPARE(process->state(), QProcess::Running);
    }

    void foreignTemporaryFolderKeepsOneWindow_data()
    {
        QTest::addColumn<QString>("made");  // by another user, where the temporary folder would hold ours
        QTest::newRow("a folder") << "folder";
        QTest::newRow("a link") << "link";
        QTest::newRow("a file") << "file";
    }

    // Without a runtime folder, another user can't make every start open a window of its own by
    // putting something where this user's folder in the shared temporary folder would go.
    void foreignTemporaryFolderKeepsOneWindow()
    {
        QFETCH(QString, made);
        if (::geteuid() != 0)
            QSKIP("only root can act as another user");
        m_withRuntimeFolder = false;
        const QString name = QStringLiteral("sbq740-foreign-%1-%2").arg(::getpid()).arg(made);
        const QString program = copyOfProgram(name);
        const QByteArray own = QFile::encodeName(ownTempFolder());
        QDir(ownTempFolder()).removeRecursively();
        QFile::remove(ownTempFolder());
        {
            const OtherUser other;
            QVERIFY(other.ok());
            if (made == "folder")
                QCOMPARE(::mkdir(own.constData(), 0777), 0);
            else if (made == "link")
                QCOMPARE(::symlink(QFile::encodeName(m_runtime.path()).constData(), own.constData()), 0);
            else
                QVERIFY(QFile(ownTempFolder()).open(QIODevice::WriteOnly));
        }

        QProcess *first = start(program);
        QTRY_VERIFY_WITH_TIMEOUT(listening(name) || first->state() == QProcess::NotRunning, kWindowOpensWithinMs);
        QProcess *second = start(program);
        QVERIFY(second->waitForFinished(kRacersEndWithinMs));
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);
        QDir(ownTempFolder()).removeRecursively();
        QFile::remove(ownTempFolder());
    }

    // Without any display, the registration and component-server switches still end quietly.
    void registrationSwitchesEndAtOnce_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::newRow("/RegServer") << QStringLiteral("/RegServer");
        QTest::newRow("-unregserver") << QStringLiteral("-unregserver");
        QTest::newRow("-Embedding") << QStringLiteral("-Embedding");
        QTest::newRow("/Automation") << QStringLiteral("/Automation");
    }

    void registrationSwitchesEndAtOnce()
    {
        QFETCH(QString, argument);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(SBQ_PROGRAM), {argument});
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(process.readAllStandardError(), QByteArray());
    }

    void toolkitOptionsHaveNoEffect_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("-platform x") << QStringList{"-platform", "x"};
        QTest::newRow("/RegServer -reverse") << QStringList{"/RegServer", "-reverse"};
    }

    // Options Qt would act on are plain text: the program starts normally and opens its window.
    void toolkitOptionsHaveNoEffect()
    {
        QFETCH(QStringList, arguments);
        const QString name = QStringLiteral("sbq740-opts-%1-%2").arg(::getpid())
                                 .arg(QString::fromLatin1(QTest::currentDataTag()).remove(QRegularExpression("[^A-Za-z]")));
        QProcess *process = start(copyOfProgram(name), arguments);
        QTRY_VERIFY_WITH_TIMEOUT(listening(name) || process->state() == QProcess::NotRunning, kWindowOpensWithinMs);
        QCOMPARE(process->state(), QProcess::Running);
    }

    void missingJapaneseFontIsNamed_data()
    {
        QTest::addColumn<QString>("fontFolder");
        QTest::addColumn<bool>("warned");
        QTest::newRow("fonts as installed") << "/usr/share/fonts" << false;
        QTest::newRow("a Latin font only") << "/usr/share/fonts/truetype/dejavu" << true;
    }

    // Without a font for Japanese the window's texts are empty boxes: standard error says why and
    // names the font to install; with one, it says nothing of fonts.
    void missingJapaneseFontIsNamed()
    {
        QFETCH(QString, fontFolder);
        QFETCH(bool, warned);
        const QString config = m_dir.filePath(QStringLiteral("fonts-%1.conf").arg(int(warned)));
        QFile file(config);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("<?xml version=\"1.0\"?>\n<fontconfig><dir>%1</dir><cachedir>%2</cachedir></fontconfig>\n")
                       .arg(fontFolder, m_dir.filePath(QStringLiteral("font-cache")))
                       .toUtf8());
        file.close();
        const QString name = QStringLiteral("sbq740-font-%1-%2").arg(::getpid()).arg(int(warned));
        QProcess *process = start(copyOfProgram(name), {}, config);
        QTRY_VERIFY_WITH_TIMEOUT(listening(name) || process->state() == QProcess::NotRunning, kWindowOpensWithinMs);
        QCOMPARE(process->state(), QProcess::Running);
        // A warning was written before the window answered on its socket; it only has to be read.
        process->setReadChannel(QProcess::StandardError);
        process->waitForReadyRead(kReadPendingMs);
        const QString errors = QString::fromLocal8Bit(process->readAllStandardError());
        QCOMPARE(errors.contains(QStringLiteral("fonts-ipafont-gothic")), warned);
    }
};

QTEST_GUILESS_MAIN(TestSecondStart)
#include "tst_second_start.moc"
