// The real program under a Wayland compositor (weston in a virtual X server): the window, its
// menu and a send work, and no button of the frame Qt draws for a window ends the program.
#include "PrivateCups.h"
#include "VirtualDesktop.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTest>

#include <unistd.h>

namespace {

constexpr int kWindowShownMs = 20000;
constexpr int kReactsMs = 10000;
constexpr int kSendEndsMs = 30000;
constexpr int kRetryMs = 3000;
constexpr int kSettleMs = 700;  // time a wrong answer from the compositor would take to arrive

const QString kMainTitle = QStringLiteral("QAV Quillotron 740Q2 セットブリッジ");
const QString kSendTitle = QStringLiteral("プリンタへ送信");
const QString kBoxTitle = QStringLiteral("Setbridge");

// The buttons of Qt's own window frame on Wayland, right to left: the centre of each, from the
// frame's top-right corner.
enum class FrameButton { Close, Maximise, Minimise };

QPoint centreOf(const QRect &frame, FrameButton button)
{
    constexpr int kButtonWidth = 18;
    constexpr int kSpacing = 5;
    constexpr int kRightMargin = 8;
    constexpr int kTitleHeight = 30;
    const int index = int(button);
    const int right = frame.right() + 1 - kRightMargin - index * (kButtonWidth + kSpacing);
    return {right - kButtonWidth / 2, frame.top() + kTitleHeight / 2};
}

}  // namespace

Q_DECLARE_METATYPE(FrameButton)

class TestWaylandWindow : public QObject
{
    Q_OBJECT

private:
    VirtualDesktop m_desktop;
    PrivateCups m_cups;
    QTemporaryDir m_dir;
    QProcess m_program;

    bool running() const { return m_program.state() != QProcess::NotRunning; }

    // Clicks `button` on the frame of the window titled `title`: the program keeps running and the
    // window keeps its size.
    void clickLeavesRunning(const QString &title, FrameButton button)
    {
        const QRect frame = m_desktop.toplevel(title);
        QVERIFY2(frame.isValid(), qPrintable(title));
        m_desktop.click(centreOf(frame, button));
        QTest::qWait(kSettleMs);
        QVERIFY2(running(), qPrintable(QStringLiteral("exit code %1").arg(m_program.exitCode())));
        if (button == FrameButton::Maximise)
            QCOMPARE(m_desktop.toplevel(title).size(), frame.size());
    }

private slots:
    void initTestCase()
    {
        if (!m_desktop.startX())
            QSKIP(qPrintable(m_desktop.error()));
        if (!m_desktop.startCompositor())
            QSKIP(qPrintable(QStringLiteral("no Wayland compositor to test under: ") + m_desktop.error()));
        QVERIFY(m_dir.isValid());
        QVERIFY2(m_cups.start(), qPrintable(m_cups.error()));

        QDir().mkpath(m_dir.filePath(QStringLiteral("app")));
        const QString program = m_dir.filePath(QStringLiteral("app/sbq740-wl-%1").arg(::getpid()));
        QVERIFY(QFile::copy(QStringLiteral(SBQ_PROGRAM), program));
        QProcessEnvironment environment = m_desktop.environment();
        environment.insert(QStringLiteral("CUPS_SERVER"), m_cups.server());
        environment.insert(QStringLiteral("TMPDIR"), m_dir.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        m_program.setProcessEnvironment(environment);
        m_program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_program.start(program, {});
        QTRY_VERIFY_WITH_TIMEOUT(m_desktop.toplevel(kMainTitle).isValid() || !running(), kWindowShownMs);
        QVERIFY2(running(), qPrintable(QStringLiteral("exit code %1").arg(m_program.exitCode())));
    }

    void cleanupTestCase()
    {
        m_program.kill();
        m_program.waitForFinished(5000);
    }

    void menuOpensWithAltF()
    {
        // A click on the status bar gives the window the keyboard; a window that is still busy
        // starting may miss the first keys, so the click and the keys come again until the
        // menu shows or the deadline passes.
        const QDeadlineTimer deadline(kWindowShownMs);
        const QRect frame = m_desktop.toplevel(kMainTitle);
        QVERIFY2(frame.isValid(), qPrintable(m_desktop.sceneGraph()));
        do {
            m_desktop.click(QPoint(frame.center().x(), frame.bottom() - 10));
            m_desktop.key(QStringLiteral("alt+f"));
        } while (!QTest::qWaitFor([this] { return m_desktop.popups() == 1; }, kRetryMs) && !deadline.hasExpired());
        // What the compositor shows tells, should this fail, which window had the keys.
        QVERIFY2(m_desktop.popups() == 1, qPrintable(m_desktop.sceneGraph()));
        m_desktop.key(QStringLiteral("Escape"));
        QTRY_VERIFY_WITH_TIMEOUT(m_desktop.popups() == 0, kReactsMs);
    }

    // Ctrl+W, 送信, and the result box: the job reaches the printer. The dialog and the box have
    // the frame's maximise button too.
    void ctrlWSends()
    {
        m_desktop.key(QStringLiteral("ctrl+w"));
        QTRY_VERIFY2_WITH_TIMEOUT(m_desktop.toplevel(kSendTitle).isValid(), qPrintable(m_desktop.sceneGraph()),
                                  kReactsMs);
        clickLeavesRunning(kSendTitle, FrameButton::Maximise);
        if (QTest::currentTestFailed())
            return;
        m_desktop.key(QStringLiteral("Return"));
        QCOMPARE(m_cups.waitForJobs(1, std::chrono::milliseconds(kSendEndsMs)).size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(m_desktop.toplevel(kBoxTitle).isValid(), kSendEndsMs);
        clickLeavesRunning(kBoxTitle, FrameButton::Maximise);
        if (QTest::currentTestFailed())
            return;
        m_desktop.key(QStringLiteral("Return"));
        QTRY_VERIFY_WITH_TIMEOUT(!m_desktop.toplevel(kBoxTitle).isValid(), kReactsMs);
    }

    void frameButtonsLeaveItRunning_data()
    {
        QTest::addColumn<FrameButton>("button");
        QTest::newRow("maximise") << FrameButton::Maximise;
        QTest::newRow("maximise again") << FrameButton::Maximise;
        QTest::newRow("minimise") << FrameButton::Minimise;  // last: the window is gone then
    }

    void frameButtonsLeaveItRunning()
    {
        QFETCH(FrameButton, button);
        clickLeavesRunning(kMainTitle, button);
    }
};

QTEST_GUILESS_MAIN(TestWaylandWindow)
#include "tst_wayland_window.moc"
