#pragma once

#include "FakeSpooler.h"
#include "ScriptedPrompts.h"
#include "host/CommandHost.h"

#include <QStringList>

#include <filesystem>
#include <functional>

// A main window without a window: the images, a scripted user, a fake spooler, and a log of the
// window operations the command under test asked for. The page transfers run `collect` and
// `distribute` when set; the commands that other commands call run the hooks when set and are
// otherwise logged and answered with their "nothing happened" results.
class FakeHost : public CommandHost
{
public:
    FakeHost();

    SettingsImages &images() override { return m_images; }
    void CollectImage() override;
    void DistributeImage() override;
    void ResetToFactory() override;
    void ShowFirstTab() override { log("ShowFirstTab"); }
    void OnDataCheck() override { log("OnDataCheck"); }

    int OnSendSettings() override;
    SaveResult OnSaveSettings() override;
    using CommandHost::OnSwitchPrinter;
    void OnSwitchPrinter(SwitchReason reason) override;

    SelectedPrinter &selectedPrinter() override { return m_printer; }
    void showPrinterInStatusBar(const QString &name, const QString &connection) override;
    void setSwitchPrinterEnabled(bool enabled) override;

    void endMainWindow() override { log("endMainWindow"); m_ended = true; }
    void terminateProgram(int exitCode) override;
    bool hasEnded() const override { return m_ended || m_exitCode != -1; }

    UserPrompts &prompts() override { return m_prompts; }
    Spooler &spooler() override { return m_spooler; }
    QWidget *window() override { return nullptr; }
    SettingsLocation settingsLocation() const override { return m_location; }

    // What the test sets up.
    std::function<void(SettingsImage &)> collect;           // the pages' StoreToImage
    std::function<void(const SettingsImage &)> distribute;  // the pages' LoadFromImage
    std::function<int()> send;
    std::function<SaveResult()> save;
    std::function<void()> switchPrinter;
    void setDataFolder(const std::filesystem::path &folder) { m_location = folder; }
    void setSettingsLocation(const SettingsLocation &location) { m_location = location; }

    // What the test reads back.
    ScriptedPrompts &scripted() { return m_prompts; }
    FakeSpooler &fakeSpooler() { return m_spooler; }
    const QStringList &calls() const { return m_calls; }
    bool ended() const { return m_ended; }
    int exitCode() const { return m_exitCode; }  // -1 while not terminated
    QString statusPrinter() const { return m_statusPrinter; }
    QString statusConnection() const { return m_statusConnection; }
    bool switchPrinterEnabled() const { return m_switchEnabled; }
    SwitchReason lastSwitchReason() const { return m_switchReason; }

private:
    void log(const QString &call) { m_calls.append(call); }

    SettingsImages m_images;
    SelectedPrinter m_printer;
    ScriptedPrompts m_prompts;
    FakeSpooler m_spooler;
    SettingsLocation m_location{std::filesystem::path()};
    QStringList m_calls;
    QString m_statusPrinter;
    QString m_statusConnection;
    bool m_switchEnabled = true;
    SwitchReason m_switchReason = SwitchReason::Command;
    bool m_ended = false;
    int m_exitCode = -1;
};
