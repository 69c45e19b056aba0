#include "Commands.h"

#include "ExitCodes.h"
#include "SettingsText.h"

namespace Commands {

// Fields of a settings file changed as typed into the pages; written to -o, or over the file.
int setFields(const Arguments::Invocation &invocation, CommandContext &context)
{
    const std::string &path = invocation.files.front();
    const std::optional<SettingsImage> image = CommandSupport::readSettings(path, context);
    if (!image)
        return ExitCode::kNotASettingsFile;
    const SettingsText::Built built = SettingsText::setValues(invocation.assignments, *image);
    if (!CommandSupport::reportBuilt(path, built, context.out, context))
        return ExitCode::kRefused;
    return CommandSupport::writeSettings(invocation.output.value_or(path), *built.image, context);
}

}  // namespace Commands
