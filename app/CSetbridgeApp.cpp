#include "CSetbridgeApp.h"

#include "CSetbridgeDlg.h"
#include "CommandLine.h"
#include "CupsSpooler.h"
#include "MessageBoxPrompts.h"
#include "ProgramFolders.h"
#include "ProgramLook.h"
#include "SingleInstance.h"

#include <QApplication>

CSetbridgeApp::CSetbridgeApp(const QStringList &arguments)
    : m_arguments(arguments)
{
}

int CSetbridgeApp::InitInstance()
{
    switch (CommandLine::parse(m_arguments)) {
    case CommandLine::Start::Register:
    case CommandLine::Start::Unregister:
    case CommandLine::Start::ComponentServer:
        return 0;  // nothing to register or serve: end at once, without a window
    case CommandLine::Start::Normal:
        break;
    }

    SingleInstance instance(ProgramFolders::applicationName());
    if (!instance.claim())
        return 0;  // the running copy comes forward instead

    ProgramLook::apply();

    MessageBoxPrompts prompts;
    const std::unique_ptr<Spooler> spooler = makeSystemSpooler();
    CSetbridgeDlg window({prompts, *spooler, ProgramFolders::dataFolder(), ProgramFolders::helpPath()});
    QObject::connect(&instance, &SingleInstance::activationRequested, &window, &CSetbridgeDlg::bringToFront);
    window.DoModal();
    return 0;
}
