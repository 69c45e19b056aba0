#include "ActivationSocket.h"
#include "ActivationToken.h"
#include "InstanceLock.h"
#include "SingleInstance.h"
#include "X11StartupId.h"

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
Q_DECLARE_METATYPE(std::string)

namespace {

constexpr uid_t kNobody = 65534;

std::string uniqueName()
{
    return "sbqtest-" + QUuid::createUuid().toString(QUuid::Id128).toStdString();
}

// What a crash, a power loss, another host or another user may have left at the lock's place.
enum class Leftover { EmptyFile, DeadProcess, OtherHost, OtherUsersFile, Folder, Link, Socket };

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
        QTest::newRow("empty lock file") << Leftover::EmptyFile;
        QTest::newRow("lock of a dead process") << Leftover::DeadProcess;
        QTest::newRow("lock of another host") << Leftover::OtherHost;
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
        case Leftover::EmptyFile:
            std::ofstream{lock};
            break;
        case Leftover::DeadProcess:
            std::ofstream(lock) << "999999\nsbq740\n" << QSysInfo::machineHostName().toStdString() << "\n";
            break;
        case Leftover::OtherHost:
            std::ofstream(lock) << "1\nsbq740\nsome-other-host\n";
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
        QTest::addColumn<QString>("runtimeFolder");  // "none": unset; "open": mode 0755; "other": another user's
        QTest::addColumn<QString>("tempFolder");     // what stands at $TMPDIR/sbq740-<uid> beforehand
        QTest::addColumn<QString>("used");           // "runtime", "temp" or "" (no lock at all)
        QTest::newRow("private runtime folder") << "private" << "" << "runtime";
        QTest::newRow("no runtime folder") << "none" << "" << "temp";
        QTest::newRow("runtime folder open to others") << "open" << "" << "temp";
        QTest::newRow("runtime folder of another user") << "other" << "" << "temp";
        QTest::newRow("own temp folder left open") << "none" << "open" << "temp";
        QTest::newRow("temp folder made by another user") << "none" << "other" << "";
        QTest::newRow("temp folder is a link") << "none" << "link" << "";
    }

    // The lock lives only in a folder of this user's own; without one the window opens all the same.
    void folderChoice()
    {
        QFETCH(QString, runtimeFolder);
        QFETCH(QString, tempFolder);
        QFETCH(QString, used);
        if ((runtimeFolder == "other" || tempFolder == "other") && ::geteuid() != 0)
            QSKIP("only root can make a folder of another user");
        const fs::path own = temp() / ("sbq740-" + std::to_string(::geteuid()));
        fs::remove_all(own);
        const fs::path candidate = temp() / "runtime-candidate";
        fs::remove_all(candidate);
        fs::create_directory(candidate);
        fs::permissions(candidate, runtimeFolder == "open" ? fs::perms(0755) : fs::perms::owner_all);
        if (runtimeFolder == "other")
            QCOMPARE(::chown(candidate.c_str(), kNobody, kNobody), 0);
        useFolders(runtimeFolder == "none" ? QByteArray() : QByteArray::fromStdString(candidate.native()));
        if (tempFolder == "open" || tempFolder == "other") {
            fs::create_directory(own);
            fs::permissions(own, fs::perms(0777));
        }
        if (tempFolder == "other")
            QCOMPARE(::chown(own.c_str(), kNobody, kNobody), 0);
        if (tempFolder == "link")
            fs::create_directory_symlink(candidate, own);

        SingleInstance instance(uniqueName());
        QVERIFY(instance.claim({}));
        const fs::path expected = used == "runtime" ? candidate : used == "temp" ? own : fs::path();
        QCOMPARE(instance.folder(), expected);
        if (used == "temp")
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

    void requestLine_data()
    {
        QTest::addColumn<std::string>("line");
        QTest::addColumn<bool>("request");
        QTest::addColumn<ActivationToken>("token");
        using K = ActivationToken::Kind;
        QTest::newRow("plain") << std::string("activate") << true << ActivationToken{};
        QTest::newRow("x11") << std::string("activate x11 id_TIME5") << true << ActivationToken{K::X11StartupId, "id_TIME5"};
        QTest::newRow("wayland") << std::string("activate wayland t0k") << true << ActivationToken{K::Wayland, "t0k"};
        QTest::newRow("unknown kind: token dropped") << std::string("activate mir t") << true << ActivationToken{};
        QTest::newRow("control byte: token dropped") << std::string("activate x11 a\x01z") << true << ActivationToken{};
        QTest::newRow("space in token: dropped") << std::string("activate x11 a b") << true << ActivationToken{};
        QTest::newRow("not a request") << std::string("activated") << false << ActivationToken{};
        QTest::newRow("other text") << std::string("hello") << false << ActivationToken{};
    }

    void requestLine()
    {
        QFETCH(std::string, line);
        QFETCH(bool, request);
        QFETCH(ActivationToken, token);
        ActivationToken read{ActivationToken::Kind::Wayland, "stale"};
        QCOMPARE(ActivationToken::fromLine(line, read), request);
        QCOMPARE(read, token);
        if (request)
            QCOMPARE(token.toLine(), (token.kind == ActivationToken::Kind::None ? "activate" : line) + "\n");
    }

    void startupIdMessages_data()
    {
        QTest::addColumn<std::string>("id");
        QTest::addColumn<uint>("timestamp");
        QTest::addColumn<std::string>("remove");
        QTest::newRow("with time") << std::string("host;1;x_TIME1234") << 1234u << std::string("remove: ID=\"host;1;x_TIME1234\"");
        QTest::newRow("without time") << std::string("abc") << 0u << std::string("remove: ID=\"abc\"");
        QTest::newRow("time not a number") << std::string("a_TIMEx") << 0u << std::string("remove: ID=\"a_TIMEx\"");
        QTest::newRow("quote and backslash") << std::string("a\"b\\c") << 0u << std::string("remove: ID=\"a\\\"b\\\\c\"");
    }

    void startupIdMessages()
    {
        QFETCH(std::string, id);
        QFETCH(uint, timestamp);
        QFETCH(std::string, remove);
        QCOMPARE(uint(X11StartupId::timestamp(id)), timestamp);
        QCOMPARE(X11StartupId::removeMessage(id), remove);
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
