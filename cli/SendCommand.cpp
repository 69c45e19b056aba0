#include "cli/Commands.h"

#include "cli/AddressRefusals.h"
#include "cli/ExitCodes.h"
#include "fields/ParamRecord.h"
#include "res/Strings.h"
#include "spooler/SettingsJob.h"

namespace Commands {
namespace {

// The checks that come with the group, as the window program makes them after the choice; the
// IP question it asks is answered by --yes. False when nothing may be sent.
bool groupCleared(const Arguments::Invocation &invocation, const SettingsImage &image, CommandContext &context)
{
    if (!SettingsJob::isFramed(image, *invocation.group)) {
        context.err << Str::kSettingsDamaged << '\n';
        return false;
    }
    switch (*invocation.group) {
    case SettingsJob::Group::Parameter: {
        std::string message;
        if (ParamRecord::ValidateImage(image, message))
            return true;
        context.err << message << '\n';
        return false;
    }
    case SettingsJob::Group::IpAddress:
        if (invocation.yes)
            return true;
        context.err << Str::kAskIpChange << '\n'
                    << "Nothing was sent. Add --yes to send the IP address settings.\n";
        return false;
    case SettingsJob::Group::FineAdjustment:
    case SettingsJob::Group::IssueControl:
        return true;
    }
    return false;
}

// The IP group must not give a printer an address it can't be reached on, nor two printers one
// address: the printers are known only once the print servers have listed them.
CommandSupport::TargetCheck addressCheck(const Arguments::Invocation &invocation, const SettingsImage &image,
                                         CommandContext &context)
{
    if (*invocation.group != SettingsJob::Group::IpAddress)
        return {};
    return [&image, &context](const std::vector<PrinterAddress> &printers) {
        if (AddressRefusals::cleared(image, printers, context.err))
            return true;
        context.err << "Nothing was sent.\n";
        return false;
    };
}

}  // namespace

int send(const Arguments::Invocation &invocation, CommandContext &context)
{
    const std::optional<SettingsImage> image = CommandSupport::readSettings(invocation.files.front(), context);
    if (!image)
        return ExitCode::kNotASettingsFile;
    if (!groupCleared(invocation, *image, context))
        return ExitCode::kRefused;

    const Delivery::Job job{Str::kSettingsJobName, SettingsJob::build(*image, *invocation.group)};
    return CommandSupport::deliverAndReport(invocation, job, context, addressCheck(invocation, *image, context)).exitCode;
}

}  // namespace Commands
