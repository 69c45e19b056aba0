#pragma once

#include "settings/SettingsLocation.h"

#include <QString>

#include <filesystem>
#include <string>

// Where the program and its files are. "setting" is read from and written to the program's folder
// or the user's configuration folder (SettingsLocation decides); help is looked up beside the
// program, then in the installed data folder. Paths of the settings are the system's bytes.
namespace ProgramFolders {

std::filesystem::path programFile();  // the program file itself
std::string applicationName();        // its name without folder and extension
// The program's folder, and the user's configuration folder for the application
// (UserFolders::config(), then the application name).
SettingsLocation settingsLocation();
QString helpPath();  // the help document, or where it would be beside the program

}  // namespace ProgramFolders
