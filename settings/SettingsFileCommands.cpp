#include "SettingsFileCommands.h"

namespace SettingsFileCommands {
void OnLoadSettings(CommandHost &) {}
CommandHost::SaveResult OnSaveSettings(CommandHost &) { return CommandHost::SaveResult::Cancelled; }
}
