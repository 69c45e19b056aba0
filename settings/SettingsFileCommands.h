#pragma once

#include "CommandHost.h"

// The commands that move the current image to and from the user's settings files (*.dat).
namespace SettingsFileCommands {

// "設定ファイルの読み込み": asks before discarding unsent changes, lets the user pick a file and
// takes its image as the current and the saved one. A file that is not a settings file leaves
// every image and page as it was. Ends on the first tab unless the user declined to discard.
void OnLoadSettings(CommandHost &host);

// "設定ファイルへの書き込み": writes the current image to the file the user picks and makes it
// the saved copy. Cancelled when the user closed the file dialog; Done otherwise, also after a
// reported failure (the saved copy then stays as it was).
CommandHost::SaveResult OnSaveSettings(CommandHost &host);

}  // namespace SettingsFileCommands
