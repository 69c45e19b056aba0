#include "cli/CommandContext.h"

#include "cli/ExitCodes.h"
#include "cli/OutputText.h"
#include "cli/PrintServers.h"
#include "res/Strings.h"
#include "send/SendPolicy.h"
#include "settings/SettingsFile.h"
#include "spooler/PrinterList.h"

#include <filesystem>
#include <fstream>

namespace CommandSupport {
namespace {

void printOutcome(const Delivery::Outcome &outcome, std::ostream &out)
{
    out << outcome.printer << ": ";
    switch (outcome.result) {
    case Delivery::Result::Delivered:
        out << "delivered\n";
        break;
    case Delivery::Result::Accepted:
        out << "accepted by the spooler (delivery not followed)\n";
        break;
    case Delivery::Result::Queued:
        out << "queued (" << OutputText::forTerminal(outcome.reason) << ")\n";
        break;
    case Delivery::Result::Failed:
        out << "failed (" << OutputText::forTerminal(outcome.reason) << ")\n";
        break;
    }
    out.flush();
}

std::string printers(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " printer" : " printers");
}

std::string servers(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " print server" : " print servers");
}

void printSummary(const Delivery::Summary &summary, std::size_t failedServers, const Delivery::Job &job, bool follow,
                  std::ostream &out)
{
    using Delivery::Result;
    const std::size_t total = summary.outcomes.size() + summary.notStarted;
    if (follow) {
        out << "Delivered \"" << job.name << "\" to " << summary.count(Result::Delivered) << " of " << printers(total);
        const std::size_t queued = summary.count(Result::Queued);
        const std::size_t failed = summary.count(Result::Failed);
        if (queued + failed > 0)
            out << "; " << queued << " queued, " << failed << " failed";
    } else {
        out << "Handed \"" << job.name << "\" to the spooler for " << summary.count(Result::Accepted) << " of "
            << printers(total) << "; delivery not followed";
    }
    if (failedServers > 0)
        out << "; " << servers(failedServers) << " failed";
    out << ".\n";
    if (summary.interrupted && summary.notStarted > 0)
        out << "Interrupted: " << printers(summary.notStarted) << " not started.\n";
    else if (summary.interrupted)
        out << "Interrupted.\n";
}

}  // namespace

std::optional<SettingsImage> readSettings(const std::string &path, CommandContext &context)
{
    std::optional<SettingsImage> image = SettingsFile::read(path);
    if (!image)
        context.err << OutputText::forTerminal(path) << ": " << Str::kNotASettingsFile << '\n';
    return image;
}

namespace {

constexpr std::size_t kLongestDocument = 1 << 20;  // an exported document is some 8 KiB

// Up to one byte more than a document may hold; nothing when `path` is no regular file that can
// be read.
std::optional<std::string> readText(const std::string &path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    std::string text(kLongestDocument + 1, '\0');
    if (file)
        file.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (!file && !file.eof())
        return std::nullopt;
    text.resize(static_cast<std::size_t>(file.gcount()));
    return text;
}

bool fitsDocument(const std::string &path, const std::string &text, CommandContext &context)
{
    if (text.size() <= kLongestDocument)
        return true;
    context.err << OutputText::forTerminal(path) << ": too long to be a settings document\n";
    return false;
}

}  // namespace

std::optional<std::string> readDocument(const std::string &path, CommandContext &context)
{
    std::optional<std::string> text = readText(path);
    if (!text)
        context.err << OutputText::forTerminal(path) << ": can't be read as a settings document\n";
    if (!text || !fitsDocument(path, *text, context))
        return std::nullopt;
    return text;
}

std::optional<SettingsImage> readSettingsOrDocument(const std::string &path, CommandContext &context, int &failure)
{
    failure = ExitCode::kNotASettingsFile;
    if (std::optional<SettingsImage> image = SettingsFile::read(path))
        return image;
    const std::optional<std::string> text = readText(path);
    if (!text || !SettingsText::looksLikeDocument(*text)) {
        context.err << OutputText::forTerminal(path) << ": " << Str::kNotASettingsFile << '\n';
        return std::nullopt;
    }
    if (!fitsDocument(path, *text, context))
        return std::nullopt;
    const SettingsText::Built built = SettingsText::importDocument(*text, SettingsImage::factory());
    if (!reportBuilt(path, built, context.err, context)) {
        failure = built.notADocument ? ExitCode::kNotASettingsFile : ExitCode::kRefused;
        return std::nullopt;
    }
    return built.image;
}

bool reportBuilt(const std::string &path, const SettingsText::Built &built, std::ostream &changes,
                 CommandContext &context)
{
    using OutputText::forTerminal;
    const std::string prefix = forTerminal(path) + ": ";
    for (const SettingsText::Refusal &refusal : built.refusals) {
        context.err << prefix;
        if (!refusal.where.empty())
            context.err << forTerminal(refusal.where) << ": ";
        if (refusal.value)
            context.err << '"' << forTerminal(*refusal.value) << "\": ";
        context.err << refusal.reason << '\n';
    }
    for (const std::string &warning : built.warnings)
        context.err << prefix << warning << '\n';
    if (!built.image) {
        context.err << "Nothing was written.\n";
        return false;
    }
    for (const SettingsText::Change &change : built.changes)
        changes << change.key << ": \"" << forTerminal(change.given) << "\" -> \"" << forTerminal(change.shown)
                << "\" (the page's input rule)\n";
    return true;
}

int writeSettings(const std::string &path, const SettingsImage &image, CommandContext &context)
{
    if (SettingsFile::write(path, image) != SettingsFile::WriteResult::Written) {
        context.err << OutputText::forTerminal(path) << ": " << Str::kSettingsWriteFailed << '\n';
        return ExitCode::kNotASettingsFile;
    }
    context.out << "Wrote " << OutputText::forTerminal(path) << ".\n";
    return ExitCode::kOk;
}

std::vector<std::string> serversOf(const Arguments::Invocation &invocation)
{
    if (invocation.servers.empty())
        return {std::string()};
    return invocation.servers;
}

std::optional<Targets> targetsOf(const Arguments::Invocation &invocation, PrintServers &servers, CommandContext &context)
{
    Targets targets;
    if (invocation.all) {
        const std::vector<std::string> named = serversOf(invocation);
        servers.list(named);
        for (const std::string &server : named) {
            if (const std::optional<SpoolerError> down = servers.down(server)) {
                const bool cut = down->kind == SpoolerError::Kind::TimedOut && context.interrupted();
                const std::string reason = cut ? PrintServers::kCutShort : PrintServers::reason(*down);
                context.out << OutputText::forTerminal(servers.name(server)) << ": failed ("
                            << OutputText::forTerminal(reason) << ")" << std::endl;
                ++targets.failedServers;
                continue;
            }
            const PrinterList list(servers.printers(server));
            for (const PrinterList::Row &row : list.rows()) {
                if (SendPolicy::decide({row.connection, std::nullopt}).allowed())
                    targets.printers.push_back({row.name, server});
            }
        }
        return targets;
    }
    for (const std::string &written : invocation.printers) {
        PrinterAddress address = PrinterAddress::parse(written);
        if (address.server.empty() && invocation.servers.size() > 1) {
            context.err << "sbq740-cli: with several --server, name each printer as QUEUE@HOST: '"
                        << OutputText::forTerminal(written) << "'\n";
            return std::nullopt;
        }
        targets.printers.push_back(std::move(address));
    }
    return targets;
}

Report deliverAndReport(const Arguments::Invocation &invocation, const Delivery::Job &job, CommandContext &context,
                        const TargetCheck &cleared)
{
    PrintServers servers(context.spoolers);
    const std::optional<Targets> targets = targetsOf(invocation, servers, context);
    if (!targets)
        return {ExitCode::kUsage, 0};
    if (cleared && !cleared(targets->printers))
        return {ExitCode::kRefused, 0};
    return deliverEachAndReport(invocation, servers, *targets, {job}, context);
}

Report deliverEachAndReport(const Arguments::Invocation &invocation, PrintServers &servers, const Targets &targets,
                            const std::vector<Delivery::Job> &jobs, CommandContext &context)
{
    const std::string defaultServer = invocation.servers.size() == 1 ? invocation.servers.front() : std::string();

    Delivery::Events events;
    events.starting = [&context](std::size_t index, std::size_t count, const std::string &printer) {
        if (count > 1)
            context.err << '[' << index + 1 << '/' << count << "] " << printer << std::endl;
    };
    events.ended = [&context](const Delivery::Outcome &outcome) { printOutcome(outcome, context.out); };
    events.interrupted = context.interrupted;
    Delivery::Options options;
    options.follow = invocation.follow;
    options.wait = invocation.wait;
    options.jobs = invocation.jobs;
    const Delivery::Summary summary = Delivery::deliver(servers, defaultServer, targets.printers, jobs, options, events);

    printSummary(summary, targets.failedServers, jobs.front(), invocation.follow, context.out);
    const Delivery::Result wanted = invocation.follow ? Delivery::Result::Delivered : Delivery::Result::Accepted;
    const std::size_t reached = summary.count(wanted);
    if (summary.interrupted)
        return {ExitCode::kInterrupted, reached};
    const bool all = reached == summary.outcomes.size() && !summary.outcomes.empty() && targets.failedServers == 0;
    return {all ? ExitCode::kOk : ExitCode::kNotAll, reached};
}

}  // namespace CommandSupport
