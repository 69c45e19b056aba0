#include "cli/Commands.h"

#include "cli/ExitCodes.h"
#include "cli/OutputLock.h"
#include "cli/SettingsText.h"

namespace Commands {

// A settings file built from a settings document, over the factory settings or --base.
int importSettings(const Arguments::Invocation &invocation, CommandContext &context)
{
    const SettingsFileLock lock(*invocation.output, SettingsFileLock::kWait, context.interrupted);
    if (const std::optional<int> failure = CommandSupport::lockFailure(lock, *invocation.output, context))
        return *failure;
    SettingsImage base = SettingsImage::factory();
    if (invocation.base) {
        const std::optional<SettingsImage> given = CommandSupport::readSettings(*invocation.base, context);
        if (!given)
            return ExitCode::kNotASettingsFile;
        base = *given;
    }
    const std::string &path = invocation.files.front();
    const std::optional<std::string> text = CommandSupport::readDocument(path, context);
    if (!text)
        return ExitCode::kNotASettingsFile;
    const SettingsText::Built built = SettingsText::importDocument(*text, base);
    if (!CommandSupport::reportBuilt(path, built, context.out, context))
        return built.notADocument ? ExitCode::kNotASettingsFile : ExitCode::kRefused;
    return CommandSupport::writeSettings(*invocation.output, *built.image, context);
}

}  // namespace Commands
