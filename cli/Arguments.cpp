#include "Arguments.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace Arguments {
namespace {

struct CommandRule
{
    Command command;
    std::string_view name;
    bool json;      // takes --json
    bool sending;   // takes --printer; --group and --yes go with a settings file
    std::size_t files;
};

constexpr std::array<CommandRule, 5> kRules{{
    {Command::Printers, "printers", true, false, 0},
    {Command::Show, "show", true, false, 1},
    {Command::Diff, "diff", false, false, 2},
    {Command::Send, "send", false, true, 1},
    {Command::HeadCheck, "headcheck", false, true, 0},
}};

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

        if (name == "--json" && m_rule.json && !attached) {
            m_invocation.json = true;
        } else if (name == "--yes" && m_rule.command == Command::Send && !attached) {
            m_invocation.yes = true;
        } else if (name == "--group" && m_rule.command == Command::Send) {
            return groupOption(attached);
        } else if (name == "--printer" && m_rule.sending) {
            return printerOption(attached);
        } else if (attached && ((name == "--json" && m_rule.json) || (name == "--yes" && m_rule.command == Command::Send))) {
            return "option '" + name + "' takes no value";
        } else {
            return "unknown option '" + argument + "' for '" + std::string(m_rule.name) + "'";
        }
        return {};
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

    std::string complete() const
    {
        const std::string command(m_rule.name);
        if (m_rule.command == Command::Send && !m_invocation.group)
            return "'send' needs --group param|fine|ip|issue";
        if (m_rule.sending && m_invocation.printers.empty())
            return "'" + command + "' needs at least one --printer NAME";
        if (m_invocation.files.size() < m_rule.files)
            return "'" + command + "' needs " + (m_rule.files == 2 ? "two settings files" : "a settings file");
        if (m_invocation.files.size() > m_rule.files)
            return "too many arguments for '" + command + "': '" + m_invocation.files[m_rule.files] + "'";
        return {};
    }

    const CommandRule &m_rule;
    const std::vector<std::string> &m_arguments;
    std::size_t m_next = 1;
    Invocation m_invocation;
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
            return refused("'help' takes one command name: printers, show, diff, send or headcheck");
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
