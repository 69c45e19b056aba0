#include "app/ActivationSocket.h"
#include "app/ActivationToken.h"
#include "app/InstanceLock.h"
#include "app/ProgramFolders.h"
#include "app/SingleInstance.h"
#include "app/UserFolders.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUuid>

#include <atomic>
#include <fstream>
#include <thread>

#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;

Q_DECLARE_METATYPE(ActivationToken)

namespace {

constexpr uid_t kNobody = 65534;
constexpr int kBurst = 3000;

std::string uniqueName()
{
    return "sbqtest-" + QUuid::createUuid().toString(QUuid::Id128).toStdString();
}

// What may stand at the lock's place (tst_second_start starts the real program over lock files
// of other contents).
enum class Leftover { DeadProcess, OtherUsersFile, Folder, Link, Socket };

}  // namespace

Q_DECLARE_METATYPE(Leftover)

class TestSingleInstance : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime;
    QTemporaryDir m_temp;
    QTemporaryDir m_cache;
    fs::path runtime() const { return m_runtime.path().toStdString(); }
    fs::path temp() const { return m_temp.path().toStdString(); }
    fs::path ownTemp() const { return temp() / ("sbq740-" + std::to_string(::geteuid())); }
    fs::path ownCache() const { return fs::path(m_cache.path().toStdString()) / "sbq740"; }

    void useFolders(const QByteArray &runtimeFolder)
    {
        if (runtimeFolder.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", runtimeFolder);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid() && m_temp.isValid() && m_cache.isValid());
        fs::permissions(runtime(), fs::perms::owner_all);
        qputenv("TMPDIR", m_temp.path().toUtf8());
        qputenv("XDG_CACHE_HOME", m_cache.path().toUtf8());
    }

    void init()
    {
        useFolders(m_runtime.path().toUtf8());
    }

    // The later start hands over its desktop token; the first instance gets it.
    void secondClaimActivatesTheFirst()
    {
        const std::string name = uniqueName();
        SingleInstance first(name);
        QVERIFY(first.claim({}));
        first.serve();
        QSignalSpy activated(&first, &SingleInstance::activationRequested);

        SingleInstance second(name);
        const ActivationToken token{ActivationToken::Kind::X11StartupId, "launcher-1_TIME42"};
        QVERIFY(!second.claim(token));
        QTRY_COMPARE(activated.count(), 1);
        QCOMPARE(activated.first().first().value<ActivationToken>(), token);
        QCOMPARE(first.folder(), runtime());
        QVERIFY(!fs::exists(ownTemp()) && !fs::exists(ownCache()));  // no fallback made
    }

    void differentNamesBothRun()
    {
        SingleInstance one(uniqueName());
        SingleInstance other(uniqueName());
        QVERIFY(one.claim({}));
        QVERIFY(other.claim({}));
    }

    void releasedOnDestruction()
    {
        const std::string name = uniqueName();
        {
            SingleInstance first(name);
            QVERIFY(first.claim({}));
            first.serve();
        }
        SingleInstance next(name);
        QVERIFY(next.claim({}));
    }

    void leftoverIsReplaced_data()
    {
        QTest::addColumn<Leftover>("leftover");
        QTest::newRow("lock of a dead process") << Leftover::DeadProcess;
        QTest::newRow("another user's lock file") << Leftover::OtherUsersFile;
        QTest::newRow("a folder at the lock") << Leftover::Folder;
        QTest::newRow("a link at the lock") << Leftover::Link;
        QTest::newRow("a socket nobody listens on") << Leftover::Socket;
    }

    // Whatever was left, the start is the first instance, and a later start reaches it.
    void leftoverIsReplaced()
    {
        QFETCH(Leftover, leftover);
        const std::string name = uniqueName();
        const fs::path lock = SingleInstance::lockPath(runtime(), name);
        const fs::path elsewhere = temp() / (name + ".elsewhere");
        std::ofstream(elsewhere) << "kept";
        switch (leftover) {
        case Leftover::DeadProcess:
            std::ofstream(lock) << "999999\nsbq740\n" << QSysInfo::machineHostName().toStdString() << "\n";
            break;
        case Leftover::OtherUsersFile:
            if (::geteuid() != 0)
                QSKIP("only root can leave a file of another user here");
            std::ofstream(lock) << "1\n";
            QCOMPARE(::chown(lock.c_str(), kNobody, kNobody), 0);
            break;
        case Leftover::Folder:
            fs::create_directory(lock);
            break;
        case Leftover::Link:
            fs::create_symlink(elsewhere, lock);
            break;
        case Leftover::Socket: {
            SingleInstance crashed(name);  // binds its socket, then vanishes without removing it
            QVERIFY(crashed.claim({}));
            break;
        }
        }

        SingleInstance first(name);
        QVERIFY(first.claim({}));
        first.serve();
        QCOMPARE(first.folder(), runtime());
        SingleInstance later(name);
        QVERIFY(!later.claim({}));
        std::ifstream kept(elsewhere);
        QCOMPARE(std::string(std::istreambuf_iterator<char>(kept), {}), std::string("kept"));
    }

    void folderChoice_data()
    {
        QTest::addColumn<bool>("runtimeFolder");   // $XDG_RUNTIME_DIR set, to a folder of another user
        QTest::addColumn<QString>("cacheFolder");  // what stands at $XDG_CACHE_HOME/sbq740 beforehand
        QTest::addColumn<QString>("tempFolder");   // and at $TMPDIR/sbq740-<uid>
        QTest::addColumn<QString>("used");         // "cache", "temp", or "" for no lock at all
        QTest::newRow("no runtime folder") << false << "" << "" << "cache";
        QTest::newRow("runtime folder of another user") << true << "" << "" << "cache";
        QTest::newRow("temp folder made by another user") << false << "" << "other" << "cache";
        QTest::newRow("temp folder is a link") << false << "" << "link" << "cache";
        QTest::newRow("cache folder made by another user") << false << "other" << "" << "temp";
        QTest::newRow("cache folder a link, temp folder another user's") << false << "link" << "other" << "";
    }

    // The lock lives only in a folder of this user's own; without one the window opens all the same.
    void folderChoice()
    {
        QFETCH(bool, runtimeFolder);
        QFETCH(QString, cacheFolder);
        QFETCH(QString, tempFolder);
        QFETCH(QString, used);
        if (::geteuid() != 0)
            QSKIP("only root can make a folder of another user");
        const fs::path foreign = temp() / "foreign";
        for (const fs::path &folder : {ownTemp(), ownCache(), foreign})
            fs::remove_all(folder);
        fs::create_directory(foreign);
        fs::permissions(foreign, fs::perms::owner_all);
        QCOMPARE(::chown(foreign.c_str(), kNobody, kNobody), 0);
        useFolders(runtimeFolder ? QByteArray::fromStdString(foreign.native()) : QByteArray());
        for (const auto &[made, folder] : {std::pair{cacheFolder, ownCache()}, {tempFolder, ownTemp()}}) {
            if (made == "other") {
                fs::create_directory(folder);
                QCOMPARE(::chown(folder.c_str(), kNobody, kNobody), 0);
            }
            if (made == "link")
                fs::create_directory_symlink(runtime(), folder);
        }

        SingleInstance instance(uniqueName());
        QVERIFY(instance.claim({}));
        const fs::path expected = used == "cache" ? ownCache() : used == "temp" ? ownTemp() : fs::path();
        QCOMPARE(instance.folder(), expected);
        if (!expected.empty())
            QCOMPARE(fs::status(expected).permissions(), fs::perms::owner_all);
    }

    void rootKeepsOutOfAnotherUsersHome_data()
    {
        QTest::addColumn<bool>("othersHome");  // HOME is another user's
        QTest::addColumn<bool>("xdgInHome");   // XDG_CONFIG_HOME and XDG_CACHE_HOME name folders in it
        QTest::newRow("own home") << false << false;
        QTest::newRow("own home, XDG folders in it") << false << true;
        QTest::newRow("another user's home (sudo -E)") << true << false;
        QTest::newRow("another user's home and XDG folders (su -m)") << true << true;
    }

    // Run as root with another user's environment, the settings and the lock go to root's own
    // home; with its own environment, to the folders it names.
    void rootKeepsOutOfAnotherUsersHome()
    {
        QFETCH(bool, othersHome);
        QFETCH(bool, xdgInHome);
        if (::geteuid() != 0)
            QSKIP("only root can be given another user's home");
        const fs::path home = temp() / "home";
        fs::remove_all(home);
        fs::create_directory(home);
        if (othersHome)
            QCOMPARE(::chown(home.c_str(), kNobody, kNobody), 0);
        const QByteArray cache = qgetenv("XDG_CACHE_HOME");
        const QByteArray ownHome = qgetenv("HOME");
        qputenv("HOME", QByteArray::fromStdString(home.native()));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((home / "conf").native()));
        qputenv("XDG_CACHE_HOME", QByteArray::fromStdString((home / "cache").native()));
        if (!xdgInHome) {
            qunsetenv("XDG_CONFIG_HOME");
            qunsetenv("XDG_CACHE_HOME");
        }
        const fs::path config = ProgramFolders::settingsLocation().userFolder();
        const fs::path cacheFolder = UserFolders::cache();
        // And what the rest of the process (Qt) is left to see.
        UserFolders::keepOutOfOtherUsersHome();
        const QByteArray homeSeen = qgetenv("HOME");
        const bool configSeen = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        qputenv("XDG_CACHE_HOME", cache);
        qputenv("HOME", ownHome);
        qunsetenv("XDG_CONFIG_HOME");

        const fs::path rootsHome = othersHome ? fs::path(::getpwuid(0)->pw_dir) : home;
        const bool named = xdgInHome && !othersHome;
        QCOMPARE(config, (named ? home / "conf" : rootsHome / ".config") / ProgramFolders::applicationName());
        QCOMPARE(cacheFolder, named ? home / "cache" : rootsHome / ".cache");
        QCOMPARE(homeSeen, QByteArray::fromStdString(rootsHome.native()));
        QCOMPARE(configSeen, named);
    }

    // Thousands of later starts in a row bring the window forward a few times, not once each
    // (which froze the window for seconds): at most once per burst and once a second within one.
    void burstOfRequestsRaisesRarely()
    {
        const std::string name = uniqueName();
        SingleInstance first(name);
        QVERIFY(first.claim({}));
        first.serve();
        QSignalSpy activated(&first, &SingleInstance::activationRequested);
        std::atomic<int> handedOver = 0;
        QElapsedTimer clock;
        clock.start();
        std::thread starts([&] {
            for (int i = 0; i < kBurst; ++i) {
                if (ActivationSocket::send(first.socketPath(), ActivationToken{}.toLine(), std::chrono::seconds(2)))
                    ++handedOver;
            }
        });
        while (!QTest::qWaitFor([&] { return handedOver == kBurst; }, 100) && clock.elapsed() < 60000) {
        }
        starts.join();
        QTest::qWait(1500);  // the burst's end is passed on

        QCOMPARE(handedOver.load(), kBurst);
        QVERIFY(!activated.isEmpty());
        QVERIFY2(activated.count() <= 2 + clock.elapsed() / 1000, qPrintable(QString::number(activated.count())));
    }

    // A process holds the lock but never answers: after the wait, this start opens its window.
    void unansweredHolderDoesNotKeepTheWindowClosed()
    {
        const std::string name = uniqueName();
        const InstanceLock holder(SingleInstance::lockPath(runtime(), name));
        QCOMPARE(holder.state(), InstanceLock::State::Taken);
        SingleInstance start(name);
        QVERIFY(start.claim({}));
        QVERIFY(start.folder().empty());
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
