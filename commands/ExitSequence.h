#pragma once

#include "settings/AutoSettings.h"

class CommandHost;

// The commands of the settings model that the main window routes.
namespace SettingsCommands {

// "工場出荷設定を表示": asks, then shows the factory settings.
void OnFactorySettings(CommandHost &host);

// The exit sequence: collect, ask about sending and saving, write "setting", end the window.
// Returns true when the window was ended, false when the user chose to stay.
bool OnExit(CommandHost &host);

// The program must end with `exitCode` because no usable printer is left: the user may still
// save the edits to a settings file, and "setting" keeps them, before the process ends.
void EndWithoutPrinter(CommandHost &host, int exitCode);

// Collects the pages and writes the current image to "setting"; when the file can't be written,
// a warning names it and says the settings were not stored.
void WriteAutoSettings(CommandHost &host);

// The session ends (a logout, or a signal): the pages are collected and "setting" takes the image
// as the exit would write it, without a question and without a message; whether it was written
// is the caller's to report.
AutoSettings::WriteOutcome StoreAtSessionEnd(CommandHost &host);

}  // namespace SettingsCommands
