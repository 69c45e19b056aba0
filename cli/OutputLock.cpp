#include "cli/OutputLock.h"

#include "cli/ExitCodes.h"
#include "cli/OutputText.h"
#include "res/Strings.h"

namespace CommandSupport {

std::optional<int> lockFailure(const SettingsFileLock &lock, const std::string &path, CommandContext &context)
{
    switch (lock.state()) {
    case SettingsFileLock::State::Held:
    case SettingsFileLock::State::Unavailable:
        return std::nullopt;
    case SettingsFileLock::State::Busy:
        context.err << OutputText::forTerminal(path) << ": " << Str::kSettingsWriteFailed
                    << " (another program kept writing it)\n";
        return ExitCode::kNotASettingsFile;
    case SettingsFileLock::State::Interrupted:
        context.err << "Interrupted: nothing was written.\n";
        return ExitCode::kInterrupted;
    }
    return std::nullopt;
}

}  // namespace CommandSupport
