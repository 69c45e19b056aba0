#include "cli/Commands.h"

#include "cli/AddressRefusals.h"
#include "cli/ExitCodes.h"
#include "cli/OutputText.h"
#include "cli/Plan.h"
#include "cli/PrintServers.h"
#include "cli/SettingsDiff.h"
#include "ledger/Sha256.h"
#include "res/Strings.h"
#include "send/SendPolicy.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

using OutputText::forTerminal;

namespace Commands {
namespace {

// One printer of the plan, its settings built.
struct Planned
{
    const Plan::Printer *entry;
    PrinterAddress address;
    SettingsImage image;
};

// Every problem of the plan, one line each, before anything is sent.
class Problems
{
public:
    explicit Problems(std::ostream &err) : m_err(err) {}

    void add(const std::string &printer, const std::string &key, const std::optional<std::string> &value,
             const std::string &reason)
    {
        m_err << forTerminal(printer) << ": ";
        if (!key.empty())
            m_err << forTerminal(key) << ": ";
        if (value)
            m_err << '"' << forTerminal(*value) << "\": ";
        m_err << forTerminal(reason) << '\n';
        m_any = true;
    }
    void note(bool found) { m_any = m_any || found; }
    bool any() const { return m_any; }

private:
    std::ostream &m_err;
    bool m_any = false;
};

std::optional<SettingsImage> baseSettings(const Plan::Contents &plan, const std::string &planPath, CommandContext &context,
                                          int &failure)
{
    if (!plan.settingsPath.empty())
        return CommandSupport::readSettingsOrDocument(plan.settingsPath, context, failure);
    const SettingsText::Built built = SettingsText::importDocument(plan.inlineDocument, SettingsImage::factory());
    failure = ExitCode::kRefused;
    if (!CommandSupport::reportBuilt(planPath + ": settings", built, context.err, context))
        return std::nullopt;
    return built.image;
}

std::optional<SettingsImage> printerSettings(const Plan::Printer &printer, const SettingsImage &base,
                                             Problems &problems, CommandContext &context)
{
    std::vector<std::string> assignments;
    for (const auto &[key, value] : printer.set)
        assignments.push_back(key + '=' + value);
    const SettingsText::Built built = SettingsText::setValues(assignments, base);
    for (const SettingsText::Refusal &refusal : built.refusals)
        problems.add(printer.written, refusal.where, refusal.value, refusal.reason);
    for (const SettingsText::Change &change : built.changes)
        context.err << forTerminal(printer.written) << ": " << change.key << ": \"" << forTerminal(change.given)
                    << "\" -> \"" << forTerminal(change.shown) << "\" (the page's input rule)\n";
    return built.image;
}

// The checks each group makes before it goes, as send makes them (the send policy); the IP
// question is answered by --yes.
void checkGroups(const Planned &printer, const Arguments::Invocation &invocation, Problems &problems)
{
    const std::string &name = printer.entry->written;
    for (const SettingsJob::Group group : printer.entry->groups) {
        const std::string groupName = Plan::groupName(group);
        const SendPolicy::Answer answer = SendPolicy::decide({std::nullopt, SendPolicy::Request::Settings{printer.image, group}});
        for (const SendPolicy::Refusal &refusal : answer.refusals)
            problems.add(name, groupName, std::nullopt, refusal.text);
        if (answer.confirmation == SendPolicy::Confirmation::IpAddressChange && !invocation.yes && !invocation.dryRun)
            problems.add(name, groupName, std::nullopt, "the IP address settings are sent only with --yes");
    }
}

bool sendsIp(const Planned &printer)
{
    return std::ranges::find(printer.entry->groups, SettingsJob::Group::IpAddress) != printer.entry->groups.end();
}

void checkAddresses(const std::vector<Planned> &planned, Problems &problems, CommandContext &context)
{
    std::vector<SendPolicy::RunTarget> targets;
    for (const Planned &printer : planned) {
        if (sendsIp(printer))
            targets.push_back({printer.entry->written, printer.image});
    }
    problems.note(!AddressRefusals::cleared(targets, context.err));
}

std::string defaultServerOf(const Arguments::Invocation &invocation)
{
    return invocation.servers.size() == 1 ? invocation.servers.front() : std::string();
}

// Each printer must be one its print server lists and that may get a job.
void checkPrinters(const std::vector<Planned> &planned, const Arguments::Invocation &invocation,
                   PrintServers &servers, Problems &problems)
{
    std::vector<std::string> named;
    for (const Planned &printer : planned)
        named.push_back(printer.address.server.empty() ? defaultServerOf(invocation) : printer.address.server);
    servers.list(named);
    for (std::size_t i = 0; i < planned.size(); ++i) {
        const std::string &name = planned[i].entry->written;
        if (planned[i].address.server.empty() && invocation.servers.size() > 1) {
            problems.add(name, {}, std::nullopt, "with several --server, name each printer as QUEUE@HOST");
            continue;
        }
        if (!servers.spooler(named[i])) {
            problems.add(name, {}, std::nullopt, "no such print server");
            continue;
        }
        if (const std::optional<SpoolerError> down = servers.down(named[i])) {
            problems.add(name, {}, std::nullopt, PrintServers::reason(*down, servers.name(named[i])));
            continue;
        }
        const std::vector<SpoolerPrinter> &known = servers.printers(named[i]);
        std::string queue = planned[i].address.queue;
        if (std::ranges::find(known, queue, &SpoolerPrinter::name) == known.end())
            queue = OutputText::unescapePrinterName(queue);
        if (const std::optional<std::string> refusal = Delivery::refusal(queue, known))
            problems.add(name, {}, std::nullopt, *refusal);
    }
}

// "q1@print1:631.ip.bin": the printer's name with anything but letters, digits, '.', '-', '_'
// and '@' as '_'.
std::string jobFileName(const std::string &printer, SettingsJob::Group group)
{
    std::string name = printer;
    for (char &c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.'
            || c == '-' || c == '_' || c == '@';
        if (!plain)
            c = '_';
    }
    return name + '.' + Plan::groupName(group) + ".bin";
}

int dryRun(const std::vector<Planned> &planned, const SettingsImage &base, const Arguments::Invocation &invocation,
           CommandContext &context)
{
    std::error_code error;
    if (invocation.jobsFolder && !std::filesystem::is_directory(*invocation.jobsFolder, error)) {
        context.err << forTerminal(*invocation.jobsFolder) << ": not a folder\n";
        return ExitCode::kNotASettingsFile;
    }
    for (const Planned &printer : planned) {
        context.out << forTerminal(printer.entry->written) << ":\n";
        for (const SettingsDiff::FieldChange &change : SettingsDiff::compare(base, printer.image).fields)
            context.out << "  " << change.after.key << ": " << forTerminal(ShownSettings::displayText(change.before))
                        << " -> " << forTerminal(ShownSettings::displayText(change.after)) << '\n';
        for (const SettingsJob::Group group : printer.entry->groups) {
            const std::string bytes = SettingsJob::build(printer.image, group);
            context.out << "  job " << Plan::groupName(group) << ": sha256 " << Sha256::hexOf(bytes) << '\n';
            if (!invocation.jobsFolder)
                continue;
            const std::string path = (std::filesystem::path(*invocation.jobsFolder)
                                      / jobFileName(printer.entry->written, group)).string();
            std::ofstream file(path, std::ios::binary | std::ios::trunc);
            file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            if (!file.flush()) {
                context.err << forTerminal(path) << ": can't be written\n";
                return ExitCode::kNotASettingsFile;
            }
        }
    }
    context.out << "Dry run: nothing was sent.\n";
    return ExitCode::kOk;
}

// Group by group in sending order, each printer that gets the group its own job.
int sendPlan(const std::vector<Planned> &planned, const Arguments::Invocation &invocation, PrintServers &servers,
             CommandContext &context)
{
    int code = ExitCode::kOk;
    for (int number = 0; number < SettingsJob::kGroupCount; ++number) {
        const auto group = static_cast<SettingsJob::Group>(number);
        CommandSupport::Targets targets;
        std::vector<Delivery::Job> jobs;
        for (const Planned &printer : planned) {
            if (std::ranges::find(printer.entry->groups, group) == printer.entry->groups.end())
                continue;
            targets.printers.push_back(printer.address);
            jobs.push_back({Str::kSettingsJobName, SettingsJob::build(printer.image, group)});
        }
        if (targets.printers.empty())
            continue;
        context.out << "Group " << Plan::groupName(group) << ":\n";
        const int sent = CommandSupport::deliverEachAndReport(invocation, servers, targets, jobs, context).exitCode;
        if (sent == ExitCode::kInterrupted)
            return sent;
        if (sent != ExitCode::kOk)
            code = sent;
    }
    return code;
}

}  // namespace

// A plan: each printer its own settings, every group checked for every printer before anything
// is sent.
int apply(const Arguments::Invocation &invocation, CommandContext &context)
{
    const std::string &planPath = invocation.files.front();
    const Plan::Read read = Plan::read(planPath);
    for (const std::string &problem : read.problems)
        context.err << forTerminal(planPath) << ": " << forTerminal(problem) << '\n';
    if (!read.contents) {
        context.err << "Nothing was sent.\n";
        return read.unreadable ? ExitCode::kNotASettingsFile : ExitCode::kRefused;
    }
    int failure = ExitCode::kNotASettingsFile;
    const std::optional<SettingsImage> base = baseSettings(*read.contents, planPath, context, failure);
    if (!base)
        return failure;

    Problems problems(context.err);
    std::vector<Planned> planned;
    for (const Plan::Printer &printer : read.contents->printers) {
        const std::optional<SettingsImage> image = printerSettings(printer, *base, problems, context);
        if (image)
            planned.push_back({&printer, PrinterAddress::parse(printer.written), *image});
    }
    for (const Planned &printer : planned)
        checkGroups(printer, invocation, problems);
    checkAddresses(planned, problems, context);
    PrintServers servers(context.spoolers);
    checkPrinters(planned, invocation, servers, problems);
    if (problems.any()) {
        context.err << "Nothing was sent.\n";
        return ExitCode::kRefused;
    }
    if (invocation.dryRun)
        return dryRun(planned, *base, invocation, context);
    return sendPlan(planned, invocation, servers, context);
}

}  // namespace Commands
