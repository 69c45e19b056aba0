#include "cli/Commands.h"

#include "cli/ExitCodes.h"
#include "cli/OutputLock.h"
#include "cli/SettingsText.h"

namespace Commands {

// Fields of a settings file changed as typed into the pages; written to -o, or over the file.
int setFields(const Arguments::Invocation &invocation, CommandContext &context)
{
    const std::string &path = invocation.files.front();
    const std::string &output = invocation.output ? *invocation.output : path;
    const SettingsFileLock lock(output, SettingsFileLock::kWait, context.interrupted);
    if (const std::optional<int> failure = CommandSupport::lockFailure(lock, output, context))
        return *failure;
    const std::optional<SettingsImage> image = CommandSupport::readSettings(path, context);
    if (!image)
        return ExitCode::kNotASettingsFile;
    const SettingsText::Built built = SettingsText::setValues(invocation.assignments, *image);
    if (!CommandSupport::reportBuilt(path, built, context.out, context))
        return ExitCode::kRefused;
    return CommandSupport::writeSettings(output, *built.image, context);
}

}  // namespace Commands
