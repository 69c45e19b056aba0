#include "cli/Commands.h"

#include "cli/AddressRefusals.h"
#include "cli/ExitCodes.h"
#include "res/Strings.h"
#include "send/SendPolicy.h"
#include "spooler/SettingsJob.h"

namespace Commands {
namespace {

// The send policy's answer for the group, as the window program asks it after the choice; the
// IP question it asks is answered by --yes. False when nothing may be sent.
bool groupCleared(const Arguments::Invocation &invocation, const SettingsImage &image, CommandContext &context)
{
    const SendPolicy::Answer answer
        = SendPolicy::decide({std::nullopt, SendPolicy::Request::Settings{image, *invocation.group}});
    for (const SendPolicy::Refusal &refusal : answer.refusals)
        context.err << refusal.text << '\n';
    if (!answer.allowed())
        return false;
    if (!answer.confirmation || invocation.yes)
        return true;
    context.err << SendPolicy::question(*answer.confirmation) << '\n'
                << "Nothing was sent. Add --yes to send the IP address settings.\n";
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
