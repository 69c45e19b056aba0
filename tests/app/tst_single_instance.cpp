#include "SingleInstance.h"

#include <QLockFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QUuid>

#include <QDir>
#include <QFile>

class TestSingleInstance : public QObject
{
    Q_OBJECT

private:
    static QString uniqueName() { return QStringLiteral("sbqtest-") + QUuid::createUuid().toString(QUuid::Id128); }

private slots:
    void secondClaimActivatesTheFirst()
    {
        const QString name = uniqueName();
        SingleInstance first(name);
        QVERIFY(first.claim());
        QSignalSpy activated(&first, &SingleInstance::activationRequested);

        bool secondClaimed = true;
        // The second start runs its blocking handshake while the first keeps serving events.
        QTimer::singleShot(0, [&] {
            SingleInstance second(name);
            secondClaimed = second.claim();
        });
        QTRY_COMPARE(activated.count(), 1);
        QVERIFY(!secondClaimed);
    }

    void differentNamesBothRun()
    {
        SingleInstance one(uniqueName());
        SingleInstance other(uniqueName());
        QVERIFY(one.claim());
        QVERIFY(other.claim());
    }

    void releasedOnDestruction()
    {
        const QString name = uniqueName();
        {
            SingleInstance first(name);
            QVERIFY(first.claim());
        }
        SingleInstance next(name);
        QVERIFY(next.claim());
    }

    void staleLockOfADeadProcessIsTakenOver()
    {
        const QString name = uniqueName();
        SingleInstance probe(name);
        QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (folder.isEmpty())
            folder = QDir::tempPath();
        const QString lockPath = QDir(folder).filePath(probe.serverName() + QStringLiteral(".lock"));
        // A lock file as a crashed run leaves it: the owner's pid no longer exists.
        QFile lock(lockPath);
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write("999999\nsbq740\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        lock.close();

        SingleInstance next(name);
        QVERIFY(next.claim());
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
