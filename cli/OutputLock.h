#pragma once

#include "cli/CommandContext.h"
#include "settings/SettingsFileLock.h"

#include <optional>
#include <string>

namespace CommandSupport {

// A command that writes a settings file takes the file's lock before it reads anything (the
// file it changes, or the base it builds on), so that another program writing the same file
// meanwhile can't make either change get lost. Nothing when the command may go on (the lock is
// held, or none can be kept there and the write will tell); otherwise the exit code to end
// with, after a message.
std::optional<int> lockFailure(const SettingsFileLock &lock, const std::string &path, CommandContext &context);

}  // namespace CommandSupport
