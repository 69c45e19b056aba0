#include "VirtualDesktop.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

namespace {

constexpr int kServerUpMs = 15000;

}  // namespace

VirtualDesktop::VirtualDesktop() = default;

VirtualDesktop::~VirtualDesktop()
{
    for (QProcess *process : {&m_desktop, &m_x}) {
        process->kill();
        process->waitForFinished(5000);
    }
}

bool VirtualDesktop::startX()
{
    const QString server = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (server.isEmpty()) {
        m_error = QStringLiteral("Xvfb is missing");
        return false;
    }
    // The server picks a free display and writes its number once it accepts clients.
    m_x.setStandardErrorFile(QProcess::nullDevice());
    m_x.start(server, {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    [[maybe_unused]] const bool up = QTest::qWaitFor(
        [this] { return m_x.canReadLine() || m_x.state() == QProcess::NotRunning; }, kServerUpMs);
    m_display = QStringLiteral(":") + QString::fromLatin1(m_x.readLine()).trimmed();
    if (m_display.size() > 1)
        return true;
    m_error = QStringLiteral("the X server did not start");
    return false;
}

bool VirtualDesktop::startWindowManager()
{
    const auto managing = [this] {
        return run(QStringLiteral("xprop"), {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id");
    };
    m_desktop.setProcessEnvironment(environment());
    m_desktop.setStandardOutputFile(QProcess::nullDevice());
    m_desktop.setStandardErrorFile(QProcess::nullDevice());
    // A window manager started the moment the server accepts clients now and then gives up at
    // once, on a loaded machine more than once in a row; it is started again, a little later each
    // time, until it manages the screen or the deadline passes.
    const QDeadlineTimer deadline(kServerUpMs);
    for (int attempt = 0; !managing() && !deadline.hasExpired(); ++attempt) {
        QTest::qWait(200 * attempt);
        m_desktop.start(QStringLiteral("jwm"), {});
        [[maybe_unused]] const bool settled = QTest::qWaitFor(
            [&] { return managing() || m_desktop.state() == QProcess::NotRunning; }, int(deadline.remainingTime()));
    }
    if (managing())
        return true;
    m_error = QStringLiteral("the window manager did not start");
    return false;
}

bool VirtualDesktop::startCompositor()
{
    if (QStandardPaths::findExecutable(QStringLiteral("weston")).isEmpty()) {
        m_error = QStringLiteral("weston is missing");
        return false;
    }
    // The compositor's socket goes into a runtime folder of this desktop's own.
    const QString runtime = m_dir.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_wayland = QStringLiteral("wayland-sbqtest");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    m_desktop.setProcessEnvironment(environment);
    m_desktop.setProcessChannelMode(QProcess::MergedChannels);
    m_desktop.setStandardOutputFile(m_dir.filePath(QStringLiteral("weston.log")));
    // --debug lets weston-debug show where the windows are.
    m_desktop.start(QStringLiteral("weston"), {"--backend=x11-backend.so", "--socket=" + m_wayland, "--width=1200",
                                               "--height=900", "--idle-time=0", "--no-config", "--debug"});
    const bool up = QTest::qWaitFor(
        [this] { return sceneGraph().contains("Output 0") || m_desktop.state() == QProcess::NotRunning; },
        kServerUpMs);
    if (up && m_desktop.state() == QProcess::Running)
        return true;
    QFile log(m_dir.filePath(QStringLiteral("weston.log")));
    m_error = QStringLiteral("weston did not start: ")
              + (log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll().right(2000)) : QString());
    m_wayland.clear();
    return false;
}

QProcessEnvironment VirtualDesktop::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    environment.remove(QStringLiteral("DESKTOP_STARTUP_ID"));
    environment.remove(QStringLiteral("SESSION_MANAGER"));
    if (m_wayland.isEmpty()) {
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    } else {
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), m_wayland);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("runtime")));
    }
    return environment;
}

QString VirtualDesktop::run(const QString &tool, const QStringList &arguments, int deadlineMs) const
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(tool, arguments);
    if (!process.waitForFinished(deadlineMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

void VirtualDesktop::key(const QString &keys) const
{
    run(QStringLiteral("xdotool"), {"key", "--clearmodifiers", keys});
}

void VirtualDesktop::click(QPoint at) const
{
    // Weston's output window sits at the X server's origin, so its points are the screen's. Weston
    // follows the pointer only from the moment it enters that window, and the window may have been
    // mapped under the pointer without hearing of it; so the pointer leaves the output first (the
    // screen is larger) and comes back in.
    run(QStringLiteral("xdotool"), {"mousemove", "1279", "1023", "sleep", "0.1", "mousemove", QString::number(at.x()),
                                    QString::number(at.y()), "sleep", "0.1", "click", "1"});
}

bool VirtualDesktop::focus(const QString &id) const
{
    run(QStringLiteral("xdotool"), {"windowactivate", "--sync", id});
    return QTest::qWaitFor([&] { return run(QStringLiteral("xdotool"), {"getwindowfocus"}) == id; }, kServerUpMs);
}

QImage VirtualDesktop::grab(const QString &id) const
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral("import"), {"-window", id, "png:-"});
    if (!process.waitForFinished(kServerUpMs))
        process.kill();
    return QImage::fromData(process.readAllStandardOutput(), "PNG");
}

QString VirtualDesktop::sceneGraph() const
{
    return run(QStringLiteral("weston-debug"), {"scene-graph"}, 3000);
}

QRect VirtualDesktop::toplevel(const QString &title) const
{
    // "View 0 (role xdg_toplevel, ..., top-level window 'TITLE' of sbq740, ...):" and below it
    // "position: (X1, Y1) -> (X2, Y2)".
    const QRegularExpression view(QStringLiteral("top-level window '%1' .*\\n\\s*position: \\((-?\\d+), (-?\\d+)\\) -> \\((-?\\d+), (-?\\d+)\\)")
                                      .arg(QRegularExpression::escape(title)));
    const QRegularExpressionMatch match = view.match(sceneGraph());
    if (!match.hasMatch())
        return {};
    return QRect(QPoint(match.captured(1).toInt(), match.captured(2).toInt()),
                 QPoint(match.captured(3).toInt() - 1, match.captured(4).toInt() - 1));
}

int VirtualDesktop::popups() const
{
    return int(sceneGraph().count(QStringLiteral("role xdg_popup")));
}
