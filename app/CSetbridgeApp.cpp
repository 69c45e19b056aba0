#include "app/CSetbridgeApp.h"

#include "app/ActivationToken.h"
#include "app/CSetbridgeDlg.h"
#include "app/CommandLine.h"
#include "app/MessageBoxPrompts.h"
#include "app/ProgramFolders.h"
#include "app/ProgramLook.h"
#include "app/SessionEnd.h"
#include "app/SingleInstance.h"
#include "app/UserFolders.h"
#include "app/WaylandFrameGuard.h"
#include "printer/SystemSpooler.h"

#include <QApplication>

#include <cstdio>

#include <unistd.h>

namespace {

// The session ends: "setting" takes the edits and the program ends at once, with 0 when they are
// kept. Whatever waits further up the stack (a dialog's caller, the next step of the exit
// sequence, a send) must not run on after that, so the process ends here rather than through the
// event loops that are open.
[[noreturn]] void endWithSession(CSetbridgeDlg &window, SingleInstance &instance)
{
    const bool stored = window.StoreForSessionEnd();
    instance.stopServing();
    std::fflush(nullptr);
    ::_exit(stored ? 0 : 1);
}

}  // namespace

CSetbridgeApp::CSetbridgeApp(int argc, char **argv)
    : m_arguments(argv, argv + argc)
    , m_programName(argc > 0 && argv[0] && *argv[0] ? argv[0] : "sbq740")
{
    m_qtArgv = {m_programName.data(), nullptr};
}

int CSetbridgeApp::InitInstance()
{
    // The switches end a start before any window system is needed.
    switch (CommandLine::parse(m_arguments)) {
    case CommandLine::Start::Register:
    case CommandLine::Start::Unregister:
    case CommandLine::Start::ComponentServer:
        return 0;  // nothing to register or serve: end at once, without a window
    case CommandLine::Start::Normal:
        break;
    }

    UserFolders::keepOutOfOtherUsersHome();  // before Qt, which keeps its own files there

    // From here on a logout or Ctrl+C waits for the window, which keeps the edits.
    SessionEnd sessionEnd;

    // Read before Qt takes the startup id out of the environment for its own first window.
    const ActivationToken token = ActivationToken::fromEnvironment();
    SingleInstance instance(ProgramFolders::applicationName());
    if (!instance.claim(token))
        return 0;  // the running copy comes forward instead

    // The menu bar is drawn by the window itself, pictures and all, never by a global menu.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QApplication application(m_qtArgc, m_qtArgv.data());
    ProgramLook::apply();  // before the running copy answers later starts: its warnings come first
    instance.serve();
    sessionEnd.watch();
    WaylandFrameGuard::install();

    MessageBoxPrompts prompts;
    const std::unique_ptr<Spooler> spooler = makeSystemSpooler();
    CSetbridgeDlg window({prompts, *spooler, ProgramFolders::settingsLocation(), ProgramFolders::helpPath()});
    QObject::connect(&instance, &SingleInstance::activationRequested, &window, &CSetbridgeDlg::bringToFront);
    QObject::connect(&sessionEnd, &SessionEnd::saveRequested, &window, [&window] { window.StoreForSessionEnd(); });
    QObject::connect(&sessionEnd, &SessionEnd::ending, &window, [&window, &instance] { endWithSession(window, instance); });
    window.DoModal();
    instance.stopServing();
    return 0;
}
