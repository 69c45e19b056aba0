#include "commands/SendSettings.h"

#include "commands/FollowedJob.h"
#include "host/CommandHost.h"
#include "host/UserPrompts.h"
#include "printer/CSendSelectDlg.h"
#include "res/Strings.h"
#include "send/SendPolicy.h"
#include "spooler/SettingsJob.h"
#include "spooler/Spooler.h"

#include <optional>
#include <string>

namespace SendSettings {
namespace {

using Icon = UserPrompts::Icon;
using Buttons = UserPrompts::Buttons;

UserPrompts::Answer tell(CommandHost &host, const QString &text, Icon icon, Buttons buttons = Buttons::Ok)
{
    return host.prompts().message(host.window(), text, icon, buttons);
}

// A printer must be selected: if none is, the user chooses one first. False when there still is
// none (the selection ended the program).
bool havePrinter(CommandHost &host)
{
    if (!host.selectedPrinter().isEmpty())
        return true;
    tell(host, QString::fromUtf8(Str::kNoPrinterSelected), Icon::Warning);
    host.OnSwitchPrinter(CommandHost::SwitchReason::JobFailed);
    return !host.selectedPrinter().isEmpty();
}

// Shows why the policy refuses the send, if it does, or asks what it wants confirmed; true when
// the send may go ahead.
bool cleared(CommandHost &host, const SendPolicy::Answer &answer)
{
    for (const SendPolicy::Refusal &refusal : answer.refusals) {
        const Icon icon = refusal.problem == SendPolicy::Problem::FileConnection ? Icon::Information : Icon::Warning;
        tell(host, QString::fromStdString(refusal.text), icon);
    }
    if (!answer.allowed())
        return false;
    if (!answer.confirmation)
        return true;
    const std::string_view question = SendPolicy::question(*answer.confirmation);
    return tell(host, QString::fromUtf8(question.data(), static_cast<qsizetype>(question.size())), Icon::Warning,
                Buttons::OkCancel)
        == UserPrompts::Answer::Ok;
}

std::optional<SettingsJob::Group> chooseGroup(CSendSelectDlg &dialog)
{
    const int choice = dialog.run();
    if (choice < 0 || choice >= SettingsJob::kGroupCount)
        return std::nullopt;
    return static_cast<SettingsJob::Group>(choice);
}

}  // namespace

Result run(CommandHost &host, CSendSelectDlg &dialog, const JobFollowing::Time &time)
{
    if (!havePrinter(host))
        return Result::NothingSent;
    // A "FILE:" printer is refused before anything is collected or chosen.
    const std::string connection = host.selectedPrinter().m_strConnection;
    if (!cleared(host, SendPolicy::decide({connection, std::nullopt})))
        return Result::NothingSent;

    host.CollectImage();
    const std::optional<SettingsJob::Group> group = chooseGroup(dialog);
    if (!group)
        return Result::NothingSent;
    const SettingsImage &image = host.images().current;
    if (!cleared(host, SendPolicy::decide({connection, SendPolicy::Request::Settings{image, *group}})))
        return Result::NothingSent;

    const std::string job = SettingsJob::build(image, *group);
    const JobOutcome outcome = FollowedJob::send(host, Str::kSettingsJobName, job, time);
    if (FollowedJob::report(host, outcome, {Str::kSettingsSent, Str::kSettingsWaiting}))
        host.images().markSent();
    return Result::Done;
}

int commandResult(Result result)
{
    return result == Result::NothingSent ? -1 : 0;
}

}  // namespace SendSettings
