#include "cli/Plan.h"

#include "cli/Json.h"
#include "cli/OutputText.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

namespace Plan {
namespace {

using Json::Value;

constexpr std::size_t kLongestPlan = 16 << 20;

constexpr std::array<std::pair<std::string_view, SettingsJob::Group>, 4> kGroups{{
    {"param", SettingsJob::Group::Parameter},
    {"fine", SettingsJob::Group::FineAdjustment},
    {"ip", SettingsJob::Group::IpAddress},
    {"issue", SettingsJob::Group::IssueControl},
}};

// The text of an inline document, written back for the document reader.
std::string written(const Value &value)
{
    switch (value.type) {
    case Value::Type::Null:
        return "null";
    case Value::Type::Boolean:
        return value.boolean ? "true" : "false";
    case Value::Type::Number:
        return value.text;
    case Value::Type::String:
        return OutputText::jsonString(value.text);
    case Value::Type::Array: {
        std::string text = "[";
        for (std::size_t i = 0; i < value.items.size(); ++i)
            text += (i ? "," : "") + written(value.items[i]);
        return text + "]";
    }
    case Value::Type::Object: {
        std::string text = "{";
        for (std::size_t i = 0; i < value.members.size(); ++i)
            text += (i ? "," : "") + OutputText::jsonString(value.members[i].name) + ":" + written(value.members[i].value);
        return text + "}";
    }
    }
    return {};
}

class Reader
{
public:
    explicit Reader(std::string folder) : m_folder(std::move(folder)) {}

    Read run(const Value &root)
    {
        if (root.type != Value::Type::Object)
            return refused("the plan must be a JSON object");
        const Value *format = root.member("format");
        const Value *version = root.member("version");
        if (!format || format->type != Value::Type::String || format->text != "sbq740-plan")
            problem("format", "must be \"sbq740-plan\"");
        if (!version || version->type != Value::Type::Number || version->text != "1")
            problem("version", "must be 1");
        for (const Json::Member &member : root.members) {
            if (member.name != "format" && member.name != "version" && member.name != "settings"
                && member.name != "groups" && member.name != "printers")
                problem(member.name, "is not part of a plan");
        }
        settings(root.member("settings"));
        const std::vector<SettingsJob::Group> planGroups = groups(root.member("groups"), "groups", false);
        printers(root.member("printers"), planGroups);
        if (!m_problems.empty())
            return {std::nullopt, std::move(m_problems), false};
        return {std::move(m_contents), {}, false};
    }

private:
    Read refused(std::string why)
    {
        return {std::nullopt, {std::move(why)}, false};
    }

    void problem(const std::string &where, const std::string &what)
    {
        m_problems.push_back(where + ": " + what);
    }

    void settings(const Value *value)
    {
        if (value && value->type == Value::Type::String && !value->text.empty()) {
            const std::filesystem::path path(value->text);
            m_contents.settingsPath = path.is_absolute() ? path.string() : (std::filesystem::path(m_folder) / path).string();
        } else if (value && value->type == Value::Type::Object) {
            m_contents.inlineDocument = written(*value);
        } else {
            problem("settings", "must name a settings file or document, or hold a settings document");
        }
    }

    // The groups of `value` in sending order; a printer's may be left out (`optional`).
    std::vector<SettingsJob::Group> groups(const Value *value, const std::string &where, bool optional)
    {
        std::vector<SettingsJob::Group> named;
        if (!value && optional)
            return named;
        if (!value || value->type != Value::Type::Array || value->items.empty()) {
            problem(where, "must list one or more of param, fine, ip, issue");
            return named;
        }
        for (const Value &item : value->items) {
            const auto found = std::ranges::find_if(kGroups, [&](const auto &group) {
                return item.type == Value::Type::String && item.text == group.first;
            });
            if (found == kGroups.end())
                problem(where, "unknown group " + (item.type == Value::Type::String ? OutputText::jsonString(item.text) : std::string(Json::typeName(item.type))) + ": use param, fine, ip or issue");
            else if (std::ranges::find(named, found->second) == named.end())
                named.push_back(found->second);
        }
        std::ranges::sort(named);
        return named;
    }

    void printers(const Value *value, const std::vector<SettingsJob::Group> &planGroups)
    {
        if (!value || value->type != Value::Type::Array || value->items.empty()) {
            problem("printers", "must list one or more printers");
            return;
        }
        for (std::size_t i = 0; i < value->items.size(); ++i)
            printer(value->items[i], "printers[" + std::to_string(i) + "]", planGroups);
    }

    void printer(const Value &entry, const std::string &where, const std::vector<SettingsJob::Group> &planGroups)
    {
        const Value *name = entry.type == Value::Type::Object ? entry.member("printer") : nullptr;
        if (!name || name->type != Value::Type::String || name->text.empty()) {
            problem(where, "must be an object naming its \"printer\"");
            return;
        }
        Printer printer{name->text, {}, {}};
        const std::string named = where + " (" + OutputText::forTerminal(name->text) + ")";
        for (const Json::Member &member : entry.members) {
            if (member.name != "printer" && member.name != "set" && member.name != "groups")
                problem(named, OutputText::jsonString(member.name) + " is not part of a printer's entry");
        }
        if (std::ranges::find(m_contents.printers, printer.written, &Printer::written) != m_contents.printers.end())
            problem(named, "the printer is listed more than once");
        const Value *set = entry.member("set");
        if (set && set->type != Value::Type::Object)
            problem(named, "\"set\" must be an object of KEY: VALUE");
        for (const Json::Member &member : set && set->type == Value::Type::Object ? set->members : std::vector<Json::Member>{}) {
            if (member.value.type == Value::Type::String || member.value.type == Value::Type::Number)
                printer.set.emplace_back(member.name, member.value.text);
            else
                problem(named, member.name + ": the value must be a string or a number");
        }
        printer.groups = entry.member("groups") ? groups(entry.member("groups"), named + ": groups", true) : planGroups;
        m_contents.printers.push_back(std::move(printer));
    }

    std::string m_folder;
    Contents m_contents;
    std::vector<std::string> m_problems;
};

}  // namespace

Read read(const std::string &path)
{
    std::error_code error;
    std::ifstream file(path, std::ios::binary);
    if (!std::filesystem::is_regular_file(path, error) || !file)
        return {std::nullopt, {"can't be read as a plan"}, true};
    std::string text(kLongestPlan + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    if (text.size() > kLongestPlan)
        return {std::nullopt, {"too long to be a plan"}, true};
    return parse(text, std::filesystem::path(path).parent_path().string());
}

Read parse(const std::string &text, const std::string &folder)
{
    const Json::Parsed parsed = Json::parse(text);
    if (!parsed.value)
        return {std::nullopt, {"not a JSON plan: " + parsed.error}, true};
    return Reader(folder).run(*parsed.value);
}

std::string groupName(SettingsJob::Group group)
{
    const auto found = std::ranges::find(kGroups, group, &std::pair<std::string_view, SettingsJob::Group>::second);
    return std::string(found->first);
}

}  // namespace Plan
