#include "commands/PrinterSwitch.h"

#include "commands/ExitSequence.h"
#include "host/CommandHost.h"
#include "host/UserPrompts.h"
#include "printer/CPrinterSelectDlg.h"
#include "res/Strings.h"

namespace PrinterSwitch {
namespace {

// The exit code when no usable printer exists.
constexpr int kNoPrinterExitCode = 1;

UserPrompts::Answer ask(CommandHost &host, const char *question)
{
    return host.prompts().message(host.window(), QString::fromUtf8(question), UserPrompts::Icon::Warning,
                                  UserPrompts::Buttons::YesNoCancel);
}

// Before leaving the printer: offers to send the unsent settings and to save the unsaved ones,
// doing what the user says yes to. False when the user cancelled a question or the command it
// started, or when the send already ended in a printer selection of its own.
bool settleChanges(CommandHost &host, const CPrinterSelectDlg &dialog)
{
    host.CollectImage();
    const bool unsent = host.images().DiffersFromSent();
    const bool unsaved = host.images().DiffersFromSaved();

    if (unsent) {
        const UserPrompts::Answer answer = ask(host, Str::kAskSendBeforeSwitch);
        if (answer == UserPrompts::Answer::Cancel)
            return false;
        if (answer == UserPrompts::Answer::Yes) {
            const int selectionsBefore = dialog.selectionCount();
            if (host.OnSendSettings() == -1 || host.hasEnded())
                return false;
            // A send that failed at the spooler has just let the user choose a printer.
            if (dialog.selectionCount() != selectionsBefore)
                return false;
        }
    }
    if (unsaved) {
        const UserPrompts::Answer answer = ask(host, Str::kAskSaveBeforeSwitch);
        if (answer == UserPrompts::Answer::Cancel)
            return false;
        if (answer == UserPrompts::Answer::Yes && host.OnSaveSettings() == CommandHost::SaveResult::Cancelled)
            return false;
    }
    return true;
}

void takeChoice(CommandHost &host, const CPrinterSelectDlg &dialog, CommandHost::SwitchReason reason)
{
    host.setSwitchPrinterEnabled(dialog.m_nPrinterCount > 1);
    host.showPrinterInStatusBar(QString::fromStdString(dialog.m_strPrinterName),
                                QString::fromStdString(dialog.m_strConnection));
    SelectedPrinter &selected = host.selectedPrinter();
    selected.m_strPrinterName = dialog.m_strPrinterName;
    selected.m_strConnection = dialog.m_strConnection;
    // A printer the user chose to switch to starts from the factory settings, even when it is the
    // same one. A choice forced by a failed job keeps the edits: they were never sent.
    if (dialog.m_bStarted == 1 && reason == CommandHost::SwitchReason::Command)
        host.ResetToFactory();
}

void cancelled(CommandHost &host, const CPrinterSelectDlg &dialog)
{
    const bool nothingChosen = dialog.m_strPrinterName.empty() && dialog.m_strConnection.empty();
    const bool fileAtStartUp = dialog.m_strConnection == Str::kFileConnection && dialog.m_bStarted == 0;
    if (nothingChosen || fileAtStartUp)
        host.endMainWindow();
}

}  // namespace

void run(CommandHost &host, CPrinterSelectDlg &dialog, CommandHost::SwitchReason reason)
{
    if (dialog.m_bStarted == 1 && !settleChanges(host, dialog))
        return;

    const SelectedPrinter &selected = host.selectedPrinter();
    dialog.m_strPrinterName = selected.m_strPrinterName;
    dialog.m_strConnection = selected.m_strConnection;

    switch (dialog.runModal()) {
    case CPrinterSelectDlg::Outcome::Ok:
        takeChoice(host, dialog, reason);
        return;
    case CPrinterSelectDlg::Outcome::Cancel:
        cancelled(host, dialog);
        return;
    case CPrinterSelectDlg::Outcome::EndProgram:
        // At start-up nothing was edited yet; later, a spooler that is down for a moment must
        // not take the session's edits with it.
        if (dialog.m_bStarted == 1)
            SettingsCommands::EndWithoutPrinter(host, kNoPrinterExitCode);
        else
            host.terminateProgram(kNoPrinterExitCode);
        return;
    }
}

}  // namespace PrinterSwitch
