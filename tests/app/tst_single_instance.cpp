#include "ActivationToken.h"
#include "InstanceLock.h"
#include "SingleInstance.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUuid>

#include <fstream>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;

Q_DECLARE_METATYPE(ActivationToken)

namespace {

constexpr uid_t kNobody = 65534;

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
    fs::path runtime() const { return m_runtime.path().toStdString(); }
    fs::path temp() const { return m_temp.path().toStdString(); }

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
        QVERIFY(m_runtime.isValid() && m_temp.isValid());
        fs::permissions(runtime(), fs::perms::owner_all);
        qputenv("TMPDIR", m_temp.path().toUtf8());
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
        QVERIFY(!fs::exists(temp() / ("sbq740-" + std::to_string(::geteuid()))));  // no fallback made
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
        QTest::addColumn<bool>("runtimeFolder");  // $XDG_RUNTIME_DIR set, to a folder of another user
        QTest::addColumn<QString>("tempFolder");  // what stands at $TMPDIR/sbq740-<uid> beforehand
        QTest::addColumn<bool>("locked");         // the temp folder is used; else no lock at all
        QTest::newRow("no runtime folder") << false << "" << true;
        QTest::newRow("runtime folder of another user") << true << "" << true;
        QTest::newRow("temp folder made by another user") << false << "other" << false;
        QTest::newRow("temp folder is a link") << false << "link" << false;
    }

    // The lock lives only in a folder of this user's own; without one the window opens all the same.
    void folderChoice()
    {
        QFETCH(bool, runtimeFolder);
        QFETCH(QString, tempFolder);
        QFETCH(bool, locked);
        if (::geteuid() != 0)
            QSKIP("only root can make a folder of another user");
        const fs::path own = temp() / ("sbq740-" + std::to_string(::geteuid()));
        const fs::path foreign = temp() / "foreign";
        fs::remove_all(own);
        fs::remove_all(foreign);
        fs::create_directory(foreign);
        fs::permissions(foreign, fs::perms::owner_all);
        QCOMPARE(::chown(foreign.c_str(), kNobody, kNobody), 0);
        useFolders(runtimeFolder ? QByteArray::fromStdString(foreign.native()) : QByteArray());
        if (tempFolder == "other") {
            fs::create_directory(own);
            QCOMPARE(::chown(own.c_str(), kNobody, kNobody), 0);
        }
        if (tempFolder == "link")
            fs::create_directory_symlink(runtime(), own);

        SingleInstance instance(uniqueName());
        QVERIFY(instance.claim({}));
        QCOMPARE(instance.folder(), locked ? own : fs::path());
        if (locked)
            QCOMPARE(fs::status(own).permissions(), fs::perms::owner_all);
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
