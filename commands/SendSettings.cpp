#include "commands/SendSettings.h"

#include "commands/FollowedJob.h"
#include "fields/ParamRecord.h"
#include "host/CommandHost.h"
#include "host/UserPrompts.h"
#include "printer/CSendSelectDlg.h"
#include "res/Strings.h"
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

// The checks that come with a choice; false when the send must not go ahead.
bool choiceCleared(CommandHost &host, SettingsJob::Group group)
{
    switch (group) {
    case SettingsJob::Group::Parameter: {
        std::string message;
        if (ParamRecord::ValidateImage(host.images().current, message))
            return true;
        tell(host, QString::fromStdString(message), Icon::Warning);
        return false;
    }
    case SettingsJob::Group::IpAddress:
        return tell(host, QString::fromUtf8(Str::kAskIpChange), Icon::Warning, Buttons::OkCancel)
            == UserPrompts::Answer::Ok;
    case SettingsJob::Group::FineAdjustment:
    case SettingsJob::Group::IssueControl:
        return true;
    }
    return false;
}

std::optional<SettingsJob::Group> chooseGroup(CSendSelectDlg &dialog)
{
    const int choice = dialog.run();
    if (choice < 0 || choice >= SettingsJob::kGroupCount)
        return std::nullopt;
    return static_cast<SettingsJob::Group>(choice);
}

}  // namespace

int run(CommandHost &host, CSendSelectDlg &dialog, const JobFollowing::Time &time)
{
    if (!havePrinter(host))
        return kNothingSent;
    if (host.selectedPrinter().m_strConnection == Str::kFileConnection) {
        tell(host, QString::fromUtf8(Str::kFileConnectionRefused), Icon::Information);
        return kNothingSent;
    }

    host.CollectImage();
    const std::optional<SettingsJob::Group> group = chooseGroup(dialog);
    if (!group)
        return kNothingSent;
    if (!SettingsJob::isFramed(host.images().current, *group)) {
        tell(host, QString::fromUtf8(Str::kSettingsDamaged), Icon::Warning);
        return kNothingSent;
    }
    if (!choiceCleared(host, *group))
        return kNothingSent;

    const std::string job = SettingsJob::build(host.images().current, *group);
    const JobOutcome outcome = FollowedJob::send(host, Str::kSettingsJobName, job, time);
    if (FollowedJob::report(host, outcome, {Str::kSettingsSent, Str::kSettingsWaiting}))
        host.images().markSent();
    return kDone;
}

}  // namespace SendSettings
