// The real program ended by the desktop: a logout's SIGTERM, a closed terminal's SIGHUP and
// Ctrl+C's SIGINT keep the edits in "setting" and end it with code 0, also while a dialog or a
// message box is open, and nothing that dialog would have gone on to do happens.
#include "PrivateCups.h"
#include "VirtualDesktop.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <csignal>

#include <unistd.h>

namespace {

constexpr int kWindowShownMs = 20000;
constexpr int kReactsMs = 10000;
constexpr qsizetype kSettingSize = 282;
constexpr qsizetype kBackFeedByte = 22 + 42;  // the parameter page's back-feed speed in the file

}  // namespace

class TestSessionEnd : public QObject
{
    Q_OBJECT

private:
    VirtualDesktop m_desktop;
    PrivateCups m_cups;
    QTemporaryDir m_dir;
    QString m_program;

    QString setting() const { return QDir(QFileInfo(m_program).path()).filePath(QStringLiteral("setting")); }

    // The first visible window whose title matches `pattern`, or an empty id.
    QString findWindow(const QString &pattern) const
    {
        return m_desktop.run(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--name", pattern}).section(u'\n', 0, 0);
    }

private slots:
    void initTestCase()
    {
        if (!m_desktop.startX())
            QSKIP(qPrintable(m_desktop.error()));
        QVERIFY2(m_desktop.startWindowManager(), qPrintable(m_desktop.error()));
        QVERIFY(m_dir.isValid());
        QVERIFY2(m_cups.start(), qPrintable(m_cups.error()));
        QDir().mkpath(m_dir.filePath(QStringLiteral("app")));
        m_program = m_dir.filePath(QStringLiteral("app/sbq740-end-%1").arg(::getpid()));
        QVERIFY(QFile::copy(QStringLiteral(SBQ_PROGRAM), m_program));
    }

    void signalKeepsTheEdits_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<QString>("opening");  // keys that open a dialog first, or none
        QTest::addColumn<QString>("opened");   // the title of what they open
        QTest::newRow("SIGTERM, main window") << int(SIGTERM) << QString() << QString();
        QTest::newRow("SIGHUP, send dialog open") << int(SIGHUP) << "ctrl+w" << "^プリンタへ送信$";
        QTest::newRow("SIGINT, factory question open") << int(SIGINT) << "ctrl+i" << "^Setbridge$";
    }

    void signalKeepsTheEdits()
    {
        QFETCH(int, signalNumber);
        QFETCH(QString, opening);
        QFETCH(QString, opened);
        QFile::remove(setting());

        QProcess program;
        QProcessEnvironment environment = m_desktop.environment();
        environment.insert(QStringLiteral("CUPS_SERVER"), m_cups.server());
        environment.insert(QStringLiteral("TMPDIR"), m_dir.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(m_program, {});
        QString window;
        QTRY_VERIFY_WITH_TIMEOUT(!(window = findWindow(QStringLiteral("^QAV Quillotron 740Q2 "))).isEmpty(), kWindowShownMs);

        // An edit: "2ips(&J)" on the parameter page, seen on the window before anything else.
        QVERIFY(m_desktop.focus(window));
        const QImage unedited = m_desktop.grab(window);
        m_desktop.key(QStringLiteral("alt+j"));
        QTRY_VERIFY_WITH_TIMEOUT(m_desktop.grab(window) != unedited, kReactsMs);
        if (!opening.isEmpty()) {
            m_desktop.key(opening);
            QTRY_VERIFY_WITH_TIMEOUT(!findWindow(opened).isEmpty(), kReactsMs);
        }

        QCOMPARE(::kill(static_cast<pid_t>(program.processId()), signalNumber), 0);
        QVERIFY(program.waitForFinished(kReactsMs));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);

        QFile file(setting());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.size(), kSettingSize);
        QCOMPARE(bytes.at(kBackFeedByte), '1');
        // Nothing the dialog would have gone on to do: no job reaches the printer.
        QCOMPARE(m_cups.waitForJobs(1, std::chrono::seconds(1)).size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSessionEnd)
#include "tst_session_end.moc"
