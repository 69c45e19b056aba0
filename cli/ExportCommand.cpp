#include "cli/Commands.h"

#include "cli/ExitCodes.h"
#include "cli/Json.h"
#include "cli/OutputText.h"
#include "cli/SettingsText.h"

namespace Commands {

// The settings file as a settings document on the output. Exit code 1 when the pages would not
// write some field back as the file holds it: the document then holds what they would write.
int exportSettings(const Arguments::Invocation &invocation, CommandContext &context)
{
    const std::string &path = invocation.files.front();
    const std::optional<SettingsImage> image = CommandSupport::readSettings(path, context);
    if (!image)
        return ExitCode::kNotASettingsFile;
    const SettingsText::Exported exported = SettingsText::exportImage(*image);
    context.out << exported.document;
    for (const SettingsText::Unreproduced &field : exported.unreproduced)
        context.err << OutputText::forTerminal(path) << ": " << field.key << ": the pages would not reproduce it: "
                    << "the file holds " << Json::bytesString(field.held) << ", they write "
                    << Json::bytesString(field.written) << '\n';
    return exported.unreproduced.empty() ? ExitCode::kOk : ExitCode::kNotAll;
}

}  // namespace Commands
