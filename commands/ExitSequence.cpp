#include "commands/ExitSequence.h"

#include "host/CommandHost.h"
#include "host/UserPrompts.h"
#include "res/Strings.h"
#include "settings/AutoSettings.h"
#include "text/VisibleText.h"

#include <QFile>

namespace SettingsCommands {

namespace {

using Answer = UserPrompts::Answer;

Answer ask(CommandHost &host, const char *text, UserPrompts::Buttons buttons)
{
    return host.prompts().message(host.window(), QString::fromUtf8(text), UserPrompts::Icon::Warning, buttons);
}

// Sending before leaving: false when the user stays (Cancel, or a send that was not attempted).
bool offerSend(CommandHost &host)
{
    switch (ask(host, Str::kAskSendBeforeExit, UserPrompts::Buttons::YesNoCancel)) {
    case Answer::Yes:
        return host.OnSendSettings() != -1;
    case Answer::No:
        return true;
    default:
        return false;
    }
}

// Saving before leaving: false when the user stays (Cancel, or a cancelled save dialog).
bool offerSave(CommandHost &host)
{
    switch (ask(host, Str::kAskSaveBeforeExit, UserPrompts::Buttons::YesNoCancel)) {
    case Answer::Yes:
        return host.OnSaveSettings() != CommandHost::SaveResult::Cancelled;
    case Answer::No:
        return true;
    default:
        return false;
    }
}

}  // namespace

void WriteAutoSettings(CommandHost &host)
{
    host.CollectImage();
    const AutoSettings::WriteOutcome outcome = AutoSettings::write(host.settingsLocation(), host.images().current);
    if (outcome.written)
        return;
    // The path is the system's: shown as plain text, with nothing in it that could reorder it.
    const QString file = QFile::decodeName(QByteArray::fromStdString(outcome.file.native()));
    const QString shown = QString::fromStdString(VisibleText::Escaped(file.toStdString()));
    const QString text = QString::fromUtf8(Str::kAutoSettingsNotStored).replace(QStringLiteral("%s"), shown);
    host.prompts().message(host.window(), text, UserPrompts::Icon::Warning, UserPrompts::Buttons::Ok);
}

AutoSettings::WriteOutcome StoreAtSessionEnd(CommandHost &host)
{
    host.CollectImage();
    return AutoSettings::write(host.settingsLocation(), host.images().current);
}

void OnFactorySettings(CommandHost &host)
{
    if (ask(host, Str::kAskFactory, UserPrompts::Buttons::OkCancel) == Answer::Ok)
        host.ResetToFactory();
}

bool OnExit(CommandHost &host)
{
    host.CollectImage();
    // Both tests come first: a send on the way out does not silence the save question.
    const bool unsent = host.images().DiffersFromSent();
    const bool unsaved = host.images().DiffersFromSaved();

    if (unsent && !offerSend(host))
        return false;
    if (host.hasEnded())  // the send's printer selection found no printer and ended the program
        return true;
    if (unsaved && !offerSave(host))
        return false;

    WriteAutoSettings(host);
    host.endMainWindow();
    return true;
}

void EndWithoutPrinter(CommandHost &host, int exitCode)
{
    host.CollectImage();
    // The program ends whatever the answer, so there is nothing to cancel.
    if (host.images().DiffersFromSaved()
        && ask(host, Str::kAskSaveBeforeExit, UserPrompts::Buttons::YesNo) == Answer::Yes)
        host.OnSaveSettings();
    WriteAutoSettings(host);
    host.terminateProgram(exitCode);
}

}  // namespace SettingsCommands
