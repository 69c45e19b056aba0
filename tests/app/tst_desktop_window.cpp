// The real program on an X server with a window manager: what its main window tells the desktop
// about itself (read back with xprop), a later start bringing the minimised window back with the
// startup id it was given, and where the start-up dialogs open.
#include "PrivateCups.h"
#include "VirtualDesktop.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

constexpr int kWindowShownMs = 20000;
constexpr int kWindowReactsMs = 10000;

}  // namespace

class TestDesktopWindow : public QObject
{
    Q_OBJECT

private:
    VirtualDesktop m_desktop;
    PrivateCups m_cups;
    QTemporaryDir m_dir;
    QProcess m_program;
    QString m_window;  // the main window's id

    QString programPath(const QString &name = QStringLiteral("desk")) const
    {
        return m_dir.filePath(QStringLiteral("app/sbq740-%1-%2").arg(name).arg(::getpid()));
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = m_desktop.environment();
        environment.insert(QStringLiteral("CUPS_SERVER"), m_cups.server());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("runtime")));
        environment.insert(QStringLiteral("TMPDIR"), m_dir.path());
        return environment;
    }

    QString run(const QString &tool, const QStringList &arguments) const { return m_desktop.run(tool, arguments); }

    // Whole, a large icon too.
    QString property(const QString &name) const { return run(QStringLiteral("xprop"), {"-len", "2000000", "-id", m_window, name}); }
    QString rootProperty(const QString &name) const { return run(QStringLiteral("xprop"), {"-root", name}); }

    QString findWindow(const QString &pattern) const
    {
        return run(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--name", pattern}).section(QLatin1Char('\n'), 0, 0);
    }
    QString findMainWindow() const { return findWindow(QStringLiteral("^QAV Quillotron 740Q2 ")); }

    // Where the X window `id` is on the screen, frame not included.
    QRect geometry(const QString &id) const
    {
        const QString shell = run(QStringLiteral("xdotool"), {"getwindowgeometry", "--shell", id});
        const auto value = [&shell](const char *key) {
            return QRegularExpression(QStringLiteral("^%1=(\\d+)$").arg(QLatin1String(key)), QRegularExpression::MultilineOption)
                .match(shell).captured(1).toInt();
        };
        return QRect(value("X"), value("Y"), value("WIDTH"), value("HEIGHT"));
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
        if (!m_desktop.startX())
            QSKIP(qPrintable(m_desktop.error()));
        QVERIFY2(m_desktop.startWindowManager(), qPrintable(m_desktop.error()));
        QVERIFY(m_dir.isValid());
        QVERIFY2(m_cups.start(), qPrintable(m_cups.error()));

        QDir().mkpath(m_dir.filePath(QStringLiteral("app")));
        QDir().mkpath(m_dir.filePath(QStringLiteral("runtime")));
        QFile::setPermissions(m_dir.filePath(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(QFile::copy(QStringLiteral(SBQ_PROGRAM), programPath()));
        m_program.setProcessEnvironment(environment());
        m_program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_program.start(programPath(), {});
        QTRY_VERIFY_WITH_TIMEOUT(!(m_window = findMainWindow()).isEmpty(), kWindowShownMs);
    }

    void cleanupTestCase()
    {
        m_program.kill();
        m_program.waitForFinished(5000);
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
        QTest::newRow("its icon in every installed size")
            << "_NET_WM_ICON" << "^(?=[\\s\\S]*Icon \\(16 x 16\\))(?=[\\s\\S]*Icon \\(48 x 48\\))(?=[\\s\\S]*Icon \\(256 x 256\\))"
            << "";
    }

    void windowHints()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QFETCH(QString, forbidden);
        const QString value = property(name);
        QVERIFY2(value.contains(QRegularExpression(expected)), qPrintable(value.left(300)));
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

    // Last, as it changes the printers: what the start-up printer selection shows opens over the
    // middle of the screen, where the main window will appear, not in the screen's corner.
    void startUpDialogsOpenOverTheMiddle_data()
    {
        QTest::addColumn<int>("printers");
        QTest::addColumn<QString>("title");
        QTest::newRow("two printers: the selection") << 2 << "^プリンタの選択$";
        QTest::newRow("no printer: the message") << 0 << "^Setbridge$";
    }

    void startUpDialogsOpenOverTheMiddle()
    {
        QFETCH(int, printers);
        QFETCH(QString, title);
        const QString second = QStringLiteral("Second_740");
        if (printers == 2)
            QVERIFY2(m_cups.addQueue(second), qPrintable(m_cups.error()));
        else
            QVERIFY(m_cups.removeQueue(second) && m_cups.removeQueue(QString::fromLatin1(PrivateCups::kDefaultQueue)));

        const QString program = programPath(QStringLiteral("place%1").arg(printers));
        QVERIFY(QFile::copy(QStringLiteral(SBQ_PROGRAM), program));
        QProcess starting;
        starting.setProcessEnvironment(environment());
        starting.start(program, {});
        QString dialog;
        QTRY_VERIFY_WITH_TIMEOUT(!(dialog = findWindow(title)).isEmpty(), kWindowShownMs);
        const QPoint centre = geometry(dialog).center();
        const QString display = run(QStringLiteral("xdotool"), {"getdisplaygeometry"});
        const QPoint middle(display.section(u' ', 0, 0).toInt() / 2, display.section(u' ', 1, 1).toInt() / 2);
        starting.kill();
        starting.waitForFinished(5000);
        QVERIFY2((centre - middle).manhattanLength() < 80,
                 qPrintable(QStringLiteral("centre %1,%2").arg(centre.x()).arg(centre.y())));
    }
};

QTEST_GUILESS_MAIN(TestDesktopWindow)
#include "tst_desktop_window.moc"
