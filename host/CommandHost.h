#pragma once

#include "settings/SettingsImages.h"
#include "settings/SettingsLocation.h"
#include "spooler/SelectedPrinter.h"

#include <QString>

class QWidget;
class Spooler;
class UserPrompts;

// What the main window offers the commands that run on it (exit, load and save, printer switch,
// send, test print, head check). The commands are written against this interface so that they
// can be tested without a window; CSetbridgeDlg is the real host.
class CommandHost
{
public:
    enum class SaveResult { Cancelled, Done };
    // Why the printer selection opens. After the user's own switch command the chosen printer
    // starts from the factory settings; a selection opened because a job failed (or had no
    // printer to go to) keeps the settings being edited.
    enum class SwitchReason { Command, JobFailed };

    virtual ~CommandHost() = default;

    // The images and the pages.
    virtual SettingsImages &images() = 0;
    virtual void CollectImage() = 0;     // every page writes its fields into the current image
    virtual void DistributeImage() = 0;  // every page shows the current image
    virtual void ResetToFactory() = 0;
    virtual void ShowFirstTab() = 0;
    virtual void OnDataCheck() = 0;

    // Commands that other commands run.
    virtual int OnSendSettings() = 0;  // -1 nothing attempted, 0 otherwise
    virtual SaveResult OnSaveSettings() = 0;
    virtual void OnSwitchPrinter(SwitchReason reason) = 0;
    void OnSwitchPrinter() { OnSwitchPrinter(SwitchReason::Command); }

    // The printer and how the window shows it.
    virtual SelectedPrinter &selectedPrinter() = 0;
    virtual void showPrinterInStatusBar(const QString &name, const QString &connection) = 0;
    virtual void setSwitchPrinterEnabled(bool enabled) = 0;

    // Ending: the window's modal loop ends normally (the program then ends), or the process ends
    // at once with `exitCode`, skipping everything else. Callers return right after either.
    virtual void endMainWindow() = 0;
    virtual void terminateProgram(int exitCode) = 0;
    // Either has happened: a command that ran another one stops here.
    virtual bool hasEnded() const = 0;

    // The world outside.
    virtual UserPrompts &prompts() = 0;
    virtual Spooler &spooler() = 0;
    virtual QWidget *window() = 0;
    virtual SettingsLocation settingsLocation() const = 0;  // "setting", and where the file dialogs start
};
