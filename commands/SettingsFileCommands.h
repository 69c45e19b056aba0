#pragma once

#include "host/CommandHost.h"

// The commands that move the current image to and from the user's settings files (*.dat).
namespace SettingsFileCommands {

// Start-up: the automatic settings file "setting" becomes the current, saved and sent image, or
// the factory image where there is none that can be read. One that is there but damaged is kept
// under another name, and a warning says so before anything else happens: the settings shown are
// not the user's, and sending them would send the factory settings.
void ReadAutoSettings(CommandHost &host);

// "設定ファイルの読み込み": asks before discarding unsent changes, lets the user pick a file and
// takes its image as the current and the saved one. A file that is not a settings file leaves
// every image and page as it was. Ends on the first tab unless the user declined to discard.
void OnLoadSettings(CommandHost &host);

// "設定ファイルへの書き込み": writes the current image to the file the user picks and makes it
// the saved copy. Cancelled when the user closed the file dialog; Done otherwise, also after a
// reported failure (the saved copy then stays as it was).
CommandHost::SaveResult OnSaveSettings(CommandHost &host);

}  // namespace SettingsFileCommands
