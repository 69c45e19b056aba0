#include "CSetbridgeApp.h"

#include "ActivationToken.h"
#include "CSetbridgeDlg.h"
#include "CommandLine.h"
#include "CupsSpooler.h"
#include "MessageBoxPrompts.h"
#include "ProgramFolders.h"
#include "ProgramLook.h"
#include "SingleInstance.h"
#include "WaylandFrameGuard.h"

#include <QApplication>

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

    // Read before Qt takes the startup id out of the environment for its own first window.
    const ActivationToken token = ActivationToken::fromEnvironment();
    SingleInstance instance(ProgramFolders::applicationName());
    if (!instance.claim(token))
        return 0;  // the running copy comes forward instead

    // The menu bar is drawn by the window itself, pictures and all, never by a global menu.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QApplication application(m_qtArgc, m_qtArgv.data());
    instance.serve();
    WaylandFrameGuard::install();
    ProgramLook::apply();

    MessageBoxPrompts prompts;
    const std::unique_ptr<Spooler> spooler = makeSystemSpooler();
    CSetbridgeDlg window({prompts, *spooler, ProgramFolders::settingsLocation(), ProgramFolders::helpPath()});
    QObject::connect(&instance, &SingleInstance::activationRequested, &window, &CSetbridgeDlg::bringToFront);
    window.DoModal();
    instance.stopServing();
    return 0;
}
