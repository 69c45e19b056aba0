#pragma once

#include "CommandHost.h"

// The load and save commands for the user's settings files (placeholder).
namespace SettingsFileCommands {
void OnLoadSettings(CommandHost &host);
CommandHost::SaveResult OnSaveSettings(CommandHost &host);
}
