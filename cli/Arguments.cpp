#include "cli/Arguments.h"

#include "spooler/CupsServer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace Arguments {
namespace {

struct CommandRule
{
    Command command;
    std::string_view name;
    bool json;      // takes --json
    bool sending;   // takes --printer, --wait and --no-wait; --group and --yes go with a settings file
    bool servers;   // takes --server
    std::size_t files;
};

constexpr std::array<CommandRule, 11> kRules{{
    {Command::Printers, "printers", true, false, true, 0},
    {Command::Show, "show", true, false, false, 1},
    {Command::Diff, "diff", false, false, false, 2},
    {Command::Send, "send", false, true, true, 1},
    {Command::HeadCheck, "headcheck", false, true, true, 0},
    {Command::Export, "export", false, false, false, 1},
    {Command::Import, "import", false, false, false, 1},
    {Command::Set, "set", false, false, false, 1},
    {Command::History, "history", true, false, false, 0},
    {Command::LastSent, "last-sent", false, false, false, 0},
    {Command::Apply, "apply", false, false, true, 1},
}};

// "2026-12-08", "2026-12-08T09:30", "2026-12-08T09:30:00Z": a time in UTC as the ledger writes
// them, so that it compares with the ledger's times as text.
bool isLedgerDate(std::string_view text)
{
    constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:dd";
    if (text.ends_with('Z'))
        text.remove_suffix(1);
    if (text.size() != 10 && text.size() != 16 && text.size() != kShape.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kShape[i] == 'd' ? !digit : text[i] != kShape[i])
            return false;
    }
    return true;
}

// "30", "2.5": a whole or decimal number of seconds, up to a day.
std::optional<std::chrono::milliseconds> secondsNamed(std::string_view text)
{
    double seconds = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || !(seconds >= 0) || seconds > 86400)
        return std::nullopt;
    return std::chrono::milliseconds(std::llround(seconds * 1000));
}

constexpr std::array<std::pair<std::string_view, SettingsJob::Group>, 4> kGroups{{
    {"param", SettingsJob::Group::Parameter},
    {"fine", SettingsJob::Group::FineAdjustment},
    {"ip", SettingsJob::Group::IpAddress},
    {"issue", SettingsJob::Group::IssueControl},
}};

const CommandRule *ruleNamed(std::string_view name)
{
    const auto found = std::ranges::find(kRules, name, &CommandRule::name);
    return found != kRules.end() ? &*found : nullptr;
}

Parsed refused(std::string error)
{
    return {std::nullopt, std::move(error)};
}

std::optional<SettingsJob::Group> groupNamed(std::string_view name)
{
    const auto found = std::ranges::find(kGroups, name, &std::pair<std::string_view, SettingsJob::Group>::first);
    if (found == kGroups.end())
        return std::nullopt;
    return found->second;
}

bool isHelpOption(std::string_view argument)
{
    return argument == "--help" || argument == "-h";
}

// Reads the arguments after the command name.
class CommandParser
{
public:
    CommandParser(const CommandRule &rule, const std::vector<std::string> &arguments)
        : m_rule(rule), m_arguments(arguments)
    {
        m_invocation.command = rule.command;
    }

    Parsed run()
    {
        bool optionsEnded = false;
        for (m_next = 1; m_next < m_arguments.size();) {
            const std::string &argument = m_arguments[m_next++];
            if (!optionsEnded && argument == "--") {
                optionsEnded = true;
            } else if (!optionsEnded && argument.size() > 1 && argument.front() == '-') {
                if (std::string error = option(argument); !error.empty())
                    return refused(std::move(error));
            } else if (m_rule.command == Command::Set && !m_invocation.files.empty()) {
                m_invocation.assignments.push_back(argument);
            } else {
                m_invocation.files.push_back(argument);
            }
        }
        if (std::string error = complete(); !error.empty())
            return refused(std::move(error));
        return {m_invocation, {}};
    }

private:
    std::string option(const std::string &argument)
    {
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        std::optional<std::string> attached;
        if (equals != std::string::npos)
            attached = argument.substr(equals + 1);

        const bool send = m_rule.command == Command::Send;
        const bool apply = m_rule.command == Command::Apply;
        const bool flag = (name == "--json" && m_rule.json) || (name == "--yes" && (send || apply))
            || (name == "--all" && send) || (name == "--no-wait" && (m_rule.sending || apply))
            || (name == "--dry-run" && apply);
        if (flag && attached)
            return "option '" + name + "' takes no value";
        if (flag) {
            flagOption(name);
        } else if (name == "--group" && send) {
            return groupOption(attached);
        } else if (name == "--printer" && (m_rule.sending || readsLedger())) {
            return printerOption(attached);
        } else if (name == "--server" && m_rule.servers) {
            return serverOption(attached);
        } else if (name == "--jobs" && (apply || send)) {
            return jobsOption(attached);
        } else if (name == "--wait" && (m_rule.sending || apply)) {
            return waitOption(attached);
        } else if ((name == "-o" || name == "--output") && writes()) {
            return fileOption(m_invocation.output, "-o", attached);
        } else if (name == "--base" && m_rule.command == Command::Import) {
            return fileOption(m_invocation.base, "--base", attached);
        } else if (name == "--since" && m_rule.command == Command::History) {
            return sinceOption(attached);
        } else {
            return "unknown option '" + argument + "' for '" + std::string(m_rule.name) + "'";
        }
        return {};
    }

    void flagOption(const std::string &name)
    {
        if (name == "--json")
            m_invocation.json = true;
        else if (name == "--yes")
            m_invocation.yes = true;
        else if (name == "--all")
            m_invocation.all = true;
        else if (name == "--no-wait")
            m_noWait = true;
        else if (name == "--dry-run")
            m_invocation.dryRun = true;
    }

    std::optional<std::string> value(const std::optional<std::string> &attached)
    {
        if (attached)
            return attached;
        if (m_next >= m_arguments.size())
            return std::nullopt;
        return m_arguments[m_next++];
    }

    std::string groupOption(const std::optional<std::string> &attached)
    {
        const std::optional<std::string> name = value(attached);
        if (!name)
            return "option '--group' needs a value: param, fine, ip or issue";
        if (m_invocation.group)
            return "option '--group' given more than once";
        m_invocation.group = groupNamed(*name);
        if (!m_invocation.group)
            return "unknown group '" + *name + "': use param, fine, ip or issue";
        return {};
    }

    std::string printerOption(const std::optional<std::string> &attached)
    {
        const std::optional<std::string> name = value(attached);
        if (!name || name->empty())
            return "option '--printer' needs a printer name";
        if (std::ranges::find(m_invocation.printers, *name) == m_invocation.printers.end())
            m_invocation.printers.push_back(*name);
        return {};
    }

    std::string serverOption(const std::optional<std::string> &attached)
    {
        const std::optional<std::string> server = value(attached);
        if (!server || !CupsServer::parse(*server))
            return "option '--server' needs a print server: HOST, HOST:PORT or the path of its socket";
        if (std::ranges::find(m_invocation.servers, *server) == m_invocation.servers.end())
            m_invocation.servers.push_back(*server);
        return {};
    }

    bool writes() const { return m_rule.command == Command::Import || m_rule.command == Command::Set; }
    bool readsLedger() const { return m_rule.command == Command::History || m_rule.command == Command::LastSent; }

    std::string sinceOption(const std::optional<std::string> &attached)
    {
        const std::optional<std::string> date = value(attached);
        if (!date || !isLedgerDate(*date))
            return "option '--since' needs a date in UTC: YYYY-MM-DD, YYYY-MM-DDTHH:MM or YYYY-MM-DDTHH:MM:SSZ";
        m_invocation.since = date->ends_with('Z') ? date->substr(0, date->size() - 1) : *date;
        return {};
    }

    std::string fileOption(std::optional<std::string> &file, const std::string &name,
                           const std::optional<std::string> &attached)
    {
        const std::optional<std::string> path = value(attached);
        if (!path || path->empty())
            return "option '" + name + "' needs a file name";
        if (file)
            return "option '" + name + "' given more than once";
        file = path;
        return {};
    }

    std::string waitOption(const std::optional<std::string> &attached)
    {
        const std::optional<std::string> text = value(attached);
        const std::optional<std::chrono::milliseconds> wait = text ? secondsNamed(*text) : std::nullopt;
        if (!wait)
            return "option '--wait' needs a number of seconds";
        m_invocation.wait = *wait;
        m_waitGiven = true;
        return {};
    }

    // --jobs N, or with --dry-run --jobs DIR; which one is known once all options are read.
    std::string jobsOption(const std::optional<std::string> &attached)
    {
        const std::optional<std::string> text = value(attached);
        if (!text || text->empty())
            return "option '--jobs' needs a number of jobs, or with --dry-run a folder";
        if (m_jobsText)
            return "option '--jobs' given more than once";
        m_jobsText = text;
        return {};
    }

    std::string jobsError()
    {
        if (!m_jobsText)
            return {};
        if (m_invocation.dryRun) {
            m_invocation.jobsFolder = m_jobsText;
            return {};
        }
        std::size_t jobs = 0;
        const auto [end, error] = std::from_chars(m_jobsText->data(), m_jobsText->data() + m_jobsText->size(), jobs);
        if (error != std::errc() || end != m_jobsText->data() + m_jobsText->size() || jobs < 1 || jobs > 64)
            return "option '--jobs' needs a number of jobs from 1 to 64 (a folder only with --dry-run)";
        m_invocation.jobs = jobs;
        return {};
    }

    std::string complete()
    {
        if (std::string error = jobsError(); !error.empty())
            return error;
        const std::string command(m_rule.name);
        if (m_rule.command == Command::Send && !m_invocation.group)
            return "'send' needs --group param|fine|ip|issue";
        if (m_invocation.all && !m_invocation.printers.empty())
            return "'send' takes either --all or --printer NAME, not both";
        if (m_rule.sending && m_invocation.printers.empty() && !m_invocation.all)
            return "'" + command + "' needs at least one --printer NAME" + (m_rule.command == Command::Send ? " or --all" : "");
        if (readsLedger() && m_invocation.printers.size() > 1)
            return "'" + command + "' takes one --printer NAME";
        if (m_rule.command == Command::LastSent && m_invocation.printers.empty())
            return "'last-sent' needs --printer NAME";
        if (m_noWait && m_waitGiven)
            return "'" + command + "' takes either --wait SECONDS or --no-wait, not both";
        m_invocation.follow = !m_noWait;
        if (m_invocation.files.size() < m_rule.files)
            return "'" + command + "' needs " + neededFiles();
        if (m_invocation.files.size() > m_rule.files)
            return "too many arguments for '" + command + "': '" + m_invocation.files[m_rule.files] + "'";
        if (m_rule.command == Command::Apply && m_invocation.dryRun && (m_noWait || m_waitGiven))
            return "'apply --dry-run' sends nothing: it takes neither --wait nor --no-wait";
        if (m_rule.command == Command::Import && !m_invocation.output)
            return "'import' needs -o OUT.dat, the settings file to write";
        if (m_rule.command == Command::Set)
            return assignmentsError();
        return {};
    }

    std::string neededFiles() const
    {
        if (m_rule.files == 2)
            return "two settings files";
        if (m_rule.command == Command::Apply)
            return "a plan (PLAN.json)";
        return m_rule.command == Command::Import ? "a settings document (FILE.json)" : "a settings file";
    }

    std::string assignmentsError() const
    {
        if (m_invocation.assignments.empty())
            return "'set' needs at least one KEY=VALUE";
        for (const std::string &assignment : m_invocation.assignments) {
            if (assignment.find('=') == std::string::npos)
                return "'set' takes KEY=VALUE, not '" + assignment + "'";
        }
        return {};
    }

    const CommandRule &m_rule;
    const std::vector<std::string> &m_arguments;
    std::size_t m_next = 1;
    Invocation m_invocation;
    bool m_noWait = false;
    bool m_waitGiven = false;
    std::optional<std::string> m_jobsText;
};

Invocation helpFor(std::optional<Command> topic)
{
    Invocation invocation;
    invocation.command = Command::Help;
    invocation.helpTopic = topic;
    return invocation;
}

}  // namespace

Parsed parse(const std::vector<std::string> &arguments)
{
    if (arguments.empty() || isHelpOption(arguments.front()))
        return {helpFor(std::nullopt), {}};
    const std::string &first = arguments.front();
    if (first == "--version") {
        Invocation invocation;
        invocation.command = Command::Version;
        return {invocation, {}};
    }
    if (first == "help") {
        if (arguments.size() == 1)
            return {helpFor(std::nullopt), {}};
        const CommandRule *rule = ruleNamed(arguments[1]);
        if (!rule || arguments.size() > 2)
            return refused("'help' takes one command name: printers, show, diff, send, apply, headcheck, export, import, "
                           "set, history or last-sent");
        return {helpFor(rule->command), {}};
    }

    const CommandRule *rule = ruleNamed(first);
    if (!rule) {
        if (first.front() == '-')
            return refused("unknown option '" + first + "'");
        return refused("unknown command '" + first + "'");
    }
    const auto end = std::ranges::find(arguments, std::string("--"));
    if (std::any_of(arguments.begin() + 1, end, [](const std::string &a) { return isHelpOption(a); }))
        return {helpFor(rule->command), {}};
    return CommandParser(*rule, arguments).run();
}

}  // namespace Arguments
