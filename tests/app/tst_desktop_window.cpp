// The real program on an X server with a window manager: what its main window tells the desktop
// about itself (read back with xprop), and a later start bringing the minimised window back with
// the startup id it was given.
#include "PrivateCups.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

constexpr int kToolMs = 10000;
constexpr int kServerUpMs = 15000;
constexpr int kWindowShownMs = 20000;
constexpr int kWindowReactsMs = 10000;

}  // namespace

class TestDesktopWindow : public QObject
{
    Q_OBJECT

private:
    bool windowManagerUp() { return rootProperty(QStringLiteral("_NET_SUPPORTING_WM_CHECK")).contains("window id"); }
    PrivateCups m_cups;
    QTemporaryDir m_dir;
    QProcess m_server;
    QProcess m_windowManager;
    QProcess m_program;
    QString m_display;
    QString m_window;  // the main window's id

    QString programPath() const { return m_dir.filePath(QStringLiteral("app/sbq740-desk-%1").arg(::getpid())); }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), m_display);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("CUPS_SERVER"), m_cups.server());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("runtime")));
        environment.insert(QStringLiteral("TMPDIR"), m_dir.path());
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("DESKTOP_STARTUP_ID"));
        return environment;
    }

    // A tool's standard output; empty when it fails or takes too long.
    QString run(const QString &tool, const QStringList &arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(tool, arguments);
        if (!process.waitForFinished(kToolMs)) {
            process.kill();
            process.waitForFinished();
            return {};
        }
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

    QString property(const QString &name) const { return run(QStringLiteral("xprop"), {"-id", m_window, name}); }
    QString rootProperty(const QString &name) const { return run(QStringLiteral("xprop"), {"-root", name}); }

    QString findMainWindow() const
    {
        const QString found = run(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--name", "^QAV Quillotron 740Q2 "});
        return found.section(QLatin1Char('\n'), 0, 0);
    }

    bool windowIsActive() const
    {
        const QString active = rootProperty(QStringLiteral("_NET_ACTIVE_WINDOW")).section(QLatin1Char('#'), 1).trimmed();
        bool ok = false;
        return active.toULongLong(&ok, 16) == m_window.toULongLong() && ok;
    }

    static int sizeHint(const QString &hints, const QString &which, int part)
    {
        const QRegularExpressionMatch match =
            QRegularExpression(which + QStringLiteral(" size: (\\d+) by (\\d+)")).match(hints);
        return match.hasMatch() ? match.captured(part).toInt() : -1;
    }

private slots:
    void initTestCase()
    {
        const QString server = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (server.isEmpty())
            QSKIP("Xvfb is missing");
        QVERIFY(m_dir.isValid());
        QVERIFY2(m_cups.start(), qPrintable(m_cups.error()));

        // The server picks a free display and writes its number once it accepts clients.
        m_server.setStandardErrorFile(QProcess::nullDevice());
        m_server.start(server, {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        QTRY_VERIFY_WITH_TIMEOUT(m_server.canReadLine() || m_server.state() == QProcess::NotRunning, kServerUpMs);
        m_display = QStringLiteral(":") + QString::fromLatin1(m_server.readLine()).trimmed();
        QVERIFY2(m_display.size() > 1, "the X server did not start");

        m_windowManager.setProcessEnvironment(environment());
        m_windowManager.setStandardOutputFile(QProcess::nullDevice());
        m_windowManager.setStandardErrorFile(QProcess::nullDevice());
        // A window manager started the moment the server accepts clients now and then gives up
        // at once; it gets a second start.
        for (int attempt = 0; attempt < 2 && !windowManagerUp(); ++attempt) {
            m_windowManager.start(QStringLiteral("jwm"), {});
            [[maybe_unused]] const bool settled = QTest::qWaitFor(
                [this] { return windowManagerUp() || m_windowManager.state() == QProcess::NotRunning; },
                kServerUpMs);
        }
        QVERIFY2(windowManagerUp(), "the window manager did not start");

        QDir().mkpath(m_dir.filePath(QStringLiteral("app")));
        QDir().mkpath(m_dir.filePath(QStringLiteral("runtime")));
        QFile::setPermissions(m_dir.filePath(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(QFile::copy(QStringLiteral(SBQ_PROGRAM), programPath()));
        QFile::setPermissions(programPath(), QFile::permissions(programPath()) | QFile::ExeOwner);
        m_program.setProcessEnvironment(environment());
        m_program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_program.start(programPath(), {});
        QTRY_VERIFY_WITH_TIMEOUT(!(m_window = findMainWindow()).isEmpty(), kWindowShownMs);
    }

    void cleanupTestCase()
    {
        for (QProcess *process : {&m_program, &m_windowManager, &m_server}) {
            process->kill();
            process->waitForFinished(5000);
        }
    }

    void windowHints_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");   // must match
        QTest::addColumn<QString>("forbidden");  // must not match
        QTest::newRow("a normal window") << "_NET_WM_WINDOW_TYPE" << "= _NET_WM_WINDOW_TYPE_NORMAL$" << "DIALOG";
        QTest::newRow("not modal, on the task bar") << "_NET_WM_STATE" << "" << "MODAL|SKIP_TASKBAR";
        QTest::newRow("no owner window") << "WM_TRANSIENT_FOR" << "not found" << "";
        QTest::newRow("minimise and close, no maximise or resize")
            << "_NET_WM_ALLOWED_ACTIONS" << "_NET_WM_ACTION_MINIMIZE.*_NET_WM_ACTION_CLOSE"
            << "MAXIMIZE|RESIZE|FULLSCREEN";
        QTest::newRow("its caption") << "_NET_WM_NAME" << "= \"QAV Quillotron 740Q2 セットブリッジ\"$" << "";
    }

    void windowHints()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QFETCH(QString, forbidden);
        const QString value = property(name);
        QVERIFY2(value.contains(QRegularExpression(expected)), qPrintable(value));
        if (!forbidden.isEmpty())
            QVERIFY2(!value.contains(QRegularExpression(forbidden)), qPrintable(value));
    }

    void sizeIsFixed()
    {
        const QString hints = property(QStringLiteral("WM_NORMAL_HINTS"));
        QVERIFY2(sizeHint(hints, "minimum", 1) > 0, qPrintable(hints));
        QCOMPARE(sizeHint(hints, "maximum", 1), sizeHint(hints, "minimum", 1));
        QCOMPARE(sizeHint(hints, "maximum", 2), sizeHint(hints, "minimum", 2));
    }

    // Minimised, then started again from a launcher: the first window comes back, takes the
    // focus and carries the later start's startup id; the later start ends.
    void laterStartBringsTheWindowBack()
    {
        QVERIFY(!run(QStringLiteral("xdotool"), {"windowminimize", m_window}).contains("error"));
        QTRY_VERIFY_WITH_TIMEOUT(property(QStringLiteral("WM_STATE")).contains("Iconic"), kWindowReactsMs);

        const QString startupId = QStringLiteral("sbqtest-%1-launch").arg(::getpid());
        QProcess later;
        QProcessEnvironment laterEnvironment = environment();
        laterEnvironment.insert(QStringLiteral("DESKTOP_STARTUP_ID"), startupId);
        later.setProcessEnvironment(laterEnvironment);
        later.start(programPath(), {});
        QVERIFY(later.waitForFinished(kWindowReactsMs));
        QCOMPARE(later.exitCode(), 0);

        QTRY_VERIFY_WITH_TIMEOUT(property(QStringLiteral("WM_STATE")).contains("Normal"), kWindowReactsMs);
        QTRY_VERIFY_WITH_TIMEOUT(windowIsActive(), kWindowReactsMs);
        QCOMPARE(property(QStringLiteral("_NET_STARTUP_ID")), QStringLiteral("_NET_STARTUP_ID(UTF8_STRING) = \"%1\"").arg(startupId));
        QCOMPARE(m_program.state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(TestDesktopWindow)
#include "tst_desktop_window.moc"
