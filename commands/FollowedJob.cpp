#include "commands/FollowedJob.h"

#include "host/CommandHost.h"
#include "host/UserPrompts.h"
#include "printer/WaitCursor.h"
#include "res/Strings.h"
#include "text/VisibleText.h"

namespace FollowedJob {
namespace {

using Icon = UserPrompts::Icon;

QString shown(const std::string &spoolerText)
{
    return QString::fromStdString(VisibleText::Escaped(spoolerText));
}

}  // namespace

JobOutcome send(CommandHost &host, const std::string &jobName, const std::string &bytes,
                const JobFollowing::Time &time)
{
    const WaitCursor busy;
    return JobFollowing::sendRawJob(host.spooler(), host.selectedPrinter().m_strPrinterName, jobName, bytes, time);
}

bool report(CommandHost &host, const JobOutcome &outcome, const Texts &texts)
{
    UserPrompts &prompts = host.prompts();
    switch (outcome.kind) {
    case JobOutcome::Kind::Delivered:
        prompts.message(host.window(), QString::fromUtf8(texts.delivered), Icon::Information, UserPrompts::Buttons::Ok);
        return true;
    case JobOutcome::Kind::Waiting:
        prompts.message(host.window(),
                        QString::fromUtf8(texts.waiting).replace(QStringLiteral("%s"), shown(outcome.reason)),
                        Icon::Warning, UserPrompts::Buttons::Ok);
        return false;
    case JobOutcome::Kind::Unreachable:
    case JobOutcome::Kind::Failed:
        break;
    }
    prompts.message(host.window(), QString::fromUtf8(Str::kPrinterUnavailable), Icon::Warning,
                    UserPrompts::Buttons::Ok, shown(outcome.reason));
    host.OnSwitchPrinter(CommandHost::SwitchReason::JobFailed);
    return false;
}

}  // namespace FollowedJob
