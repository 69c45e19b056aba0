#pragma once

#include "fields/AddressChecks.h"
#include "settings/SettingsImage.h"
#include "spooler/SettingsJob.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What may be sent to a printer, decided once for the window program and the command line; each
// only presents the answer (a message box, or standard error and --yes).
namespace SendPolicy {

// Why nothing may be sent.
enum class Problem {
    FileConnection,  // the printer's connection is "FILE:": a job would land in a file, not the printer
    DamagedFraming,  // a record of the group has lost its framing (a damaged settings file)
    ForwardStandby,  // the forward-standby adjustment is not one the printer takes
};

struct Refusal
{
    Problem problem;
    std::string text;  // for the user, as shown
};

// What the user must agree to before the job goes.
enum class Confirmation {
    IpAddressChange,  // the printer will answer at the new address, not the old one
};

// What is asked about. A job that carries no settings (the test print, the head check) or whose
// group is not chosen yet leaves out the settings; a printer not known yet leaves out its connection.
struct Request
{
    std::optional<std::string_view> connection;  // as the printer selection shows it
    struct Settings
    {
        const SettingsImage &image;
        SettingsJob::Group group;
    };
    std::optional<Settings> settings;
};

struct Answer
{
    std::vector<Refusal> refusals;              // every reason to send nothing, in the order shown
    std::optional<Confirmation> confirmation;   // asked only of a send nothing refuses

    bool allowed() const { return refusals.empty(); }
};

Answer decide(const Request &request);

// One printer of a run and the settings its IP group would carry.
struct RunTarget
{
    std::string printer;  // as the run names it
    const SettingsImage &image;
};

// What the IP group of a run must not do, printer by printer: give two printers one static
// address, give a printer its subnet's network or broadcast address, a mask that is not
// contiguous, or a gateway outside the address's subnet. Nothing of the run may go while any holds.
std::vector<Fields::AddressProblem> addressProblems(const std::vector<RunTarget> &targets);

// The question that asks for `confirmation`.
std::string_view question(Confirmation confirmation);

}  // namespace SendPolicy
