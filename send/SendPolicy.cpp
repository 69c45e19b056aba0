#include "send/SendPolicy.h"

#include "fields/ParamRecord.h"
#include "res/Strings.h"

namespace SendPolicy {
namespace {

// What the group's own values must pass. Each problem found is listed, so the user sees all of them at once.
void checkValues(const Request::Settings &settings, Answer &answer)
{
    switch (settings.group) {
    case SettingsJob::Group::Parameter:
        if (const ParamRecord::Validation check = ParamRecord::ValidateImage(settings.image); !check.valid())
            answer.refusals.push_back({Problem::ForwardStandby, check.message});
        return;
    case SettingsJob::Group::IpAddress:
    case SettingsJob::Group::FineAdjustment:
    case SettingsJob::Group::IssueControl:
        return;
    }
}

std::optional<Confirmation> confirmationFor(SettingsJob::Group group)
{
    if (group == SettingsJob::Group::IpAddress)
        return Confirmation::IpAddressChange;
    return std::nullopt;
}

}  // namespace

Answer decide(const Request &request)
{
    Answer answer;
    if (request.connection && *request.connection == Str::kFileConnection) {
        answer.refusals.push_back({Problem::FileConnection, Str::kFileConnectionRefused});
        return answer;
    }
    if (!request.settings)
        return answer;
    // Bytes that lost their framing are no values to check: that is the one thing to say.
    if (!SettingsJob::isFramed(request.settings->image, request.settings->group)) {
        answer.refusals.push_back({Problem::DamagedFraming, Str::kSettingsDamaged});
        return answer;
    }
    checkValues(*request.settings, answer);
    if (answer.allowed())
        answer.confirmation = confirmationFor(request.settings->group);
    return answer;
}

std::vector<Fields::AddressProblem> addressProblems(const std::vector<RunTarget> &targets)
{
    std::vector<Fields::PrinterAddresses> addresses;
    addresses.reserve(targets.size());
    for (const RunTarget &target : targets)
        addresses.push_back(Fields::addressesOf(target.printer, target.image));
    return Fields::addressProblems(addresses);
}

std::string_view question(Confirmation confirmation)
{
    switch (confirmation) {
    case Confirmation::IpAddressChange:
        return Str::kAskIpChange;
    }
    return {};
}

}  // namespace SendPolicy
