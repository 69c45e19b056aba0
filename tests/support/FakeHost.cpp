#include "FakeHost.h"

FakeHost::FakeHost()
{
    m_images.startFrom(SettingsImage::factory());
}

void FakeHost::CollectImage()
{
    log("CollectImage");
    if (collect)
        collect(m_images.current);
}

void FakeHost::DistributeImage()
{
    log("DistributeImage");
    if (distribute)
        distribute(m_images.current);
}

void FakeHost::ResetToFactory()
{
    log("ResetToFactory");
    m_images.current = SettingsImage::factory();
}

int FakeHost::OnSendSettings()
{
    log("OnSendSettings");
    return send ? send() : -1;
}

CommandHost::SaveResult FakeHost::OnSaveSettings()
{
    log("OnSaveSettings");
    return save ? save() : SaveResult::Cancelled;
}

void FakeHost::OnSwitchPrinter(SwitchReason reason)
{
    log("OnSwitchPrinter");
    m_switchReason = reason;
    if (switchPrinter)
        switchPrinter();
}

void FakeHost::showPrinterInStatusBar(const QString &name, const QString &connection)
{
    m_statusPrinter = name;
    m_statusConnection = connection;
}

void FakeHost::setSwitchPrinterEnabled(bool enabled)
{
    log(enabled ? "enableSwitchPrinter" : "disableSwitchPrinter");
    m_switchEnabled = enabled;
}

void FakeHost::terminateProgram(int exitCode)
{
    log(QStringLiteral("terminateProgram(%1)").arg(exitCode));
    m_exitCode = exitCode;
}
