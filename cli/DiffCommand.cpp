#include "cli/Commands.h"

#include "cli/ExitCodes.h"
#include "cli/OutputText.h"
#include "cli/SettingsDiff.h"

using OutputText::forTerminal;

namespace Commands {
namespace {

void printFieldChange(const SettingsDiff::FieldChange &change, std::ostream &out)
{
    const std::string before = ShownSettings::displayText(change.before);
    const std::string after = ShownSettings::displayText(change.after);
    out << "  " << change.before.caption << ": " << forTerminal(before) << " -> " << forTerminal(after);
    if (before == after)
        out << " (stored differently)";
    out << '\n';
}

void printDifference(const SettingsDiff::Difference &difference, std::ostream &out)
{
    std::string page;
    for (const SettingsDiff::FieldChange &change : difference.fields) {
        if (change.page != page) {
            page = change.page;
            out << '[' << page << "]\n";
        }
        printFieldChange(change, out);
    }
    if (difference.unshown.empty())
        return;
    out << "[bytes no page shows]\n";
    for (const SettingsDiff::UnshownChange &change : difference.unshown)
        out << "  " << change.record << ": image offsets " << SettingsDiff::offsetRuns(change.offsets) << '\n';
}

}  // namespace

// Exit code 0 when the two images are equal, 1 when they differ.
int diff(const Arguments::Invocation &invocation, CommandContext &context)
{
    int beforeFailure = ExitCode::kNotASettingsFile;
    int afterFailure = ExitCode::kNotASettingsFile;
    const std::optional<SettingsImage> before =
        CommandSupport::readSettingsOrDocument(invocation.files[0], context, beforeFailure);
    const std::optional<SettingsImage> after =
        CommandSupport::readSettingsOrDocument(invocation.files[1], context, afterFailure);
    if (!before)
        return beforeFailure;
    if (!after)
        return afterFailure;
    const SettingsDiff::Difference difference = SettingsDiff::compare(*before, *after);
    printDifference(difference, context.out);
    return difference.empty() ? ExitCode::kOk : ExitCode::kNotAll;
}

}  // namespace Commands
