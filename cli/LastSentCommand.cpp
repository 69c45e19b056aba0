#include "cli/Commands.h"

#include "cli/ExitCodes.h"
#include "cli/LedgerEntries.h"
#include "cli/OutputText.h"
#include "cli/SettingsText.h"

#include <algorithm>
#include <array>
#include <map>
#include <tuple>

using OutputText::jsonString;

namespace Commands {
namespace {

// The groups in the order the document lists their fields.
constexpr std::array<std::string_view, 4> kGroups{"param", "fine", "ip", "issue"};

// The entry of one field in a settings document, from the ledger's record of it.
std::string fieldEntry(const Json::Value &recorded)
{
    const Json::Value *value = recorded.member("value");
    const Json::Value *bytes = recorded.member("bytes");
    std::string text = "{\"value\": ";
    text += value && value->type == Json::Value::Type::String ? jsonString(value->text) : std::string("null");
    if (bytes && bytes->type == Json::Value::Type::String) {
        if (const std::optional<std::string> raw = Json::bytesOf(bytes->text))
            text += ", \"bytes\": " + Json::bytesString(*raw);
    }
    return text + '}';
}

// For each settings group, the record of the latest job the printer has: delivered, or accepted
// and not followed. A job's later line (same server, queue and id) tells how it ended.
std::map<std::string_view, const LedgerEntries::Entry *> latestPerGroup(const std::vector<LedgerEntries::Entry> &entries,
                                                                         const std::string &printer,
                                                                         const Spoolers &spoolers)
{
    std::vector<const LedgerEntries::Entry *> accepted;
    std::vector<std::string> endOf;  // per accepted job: how it ended; empty while not followed
    std::map<std::tuple<std::string, std::string, long long>, std::size_t> open;
    for (const LedgerEntries::Entry &entry : entries) {
        if (!LedgerEntries::isOf(entry, printer, spoolers))
            continue;
        const auto key = std::make_tuple(entry.server, entry.printer, entry.jobId);
        if (entry.outcome == "accepted") {
            open[key] = accepted.size();
            accepted.push_back(&entry);
            endOf.emplace_back();
        } else if (const auto found = open.find(key); found != open.end()) {
            endOf[found->second] = entry.outcome;
            open.erase(found);
        }
    }
    std::map<std::string_view, const LedgerEntries::Entry *> latest;
    for (std::size_t i = 0; i < accepted.size(); ++i) {
        const auto group = std::ranges::find(kGroups, accepted[i]->group);
        const Json::Value *fields = accepted[i]->value.member("fields");
        if (group != kGroups.end() && fields && fields->type == Json::Value::Type::Object
            && (endOf[i].empty() || endOf[i] == "delivered"))
            latest[*group] = accepted[i];
    }
    return latest;
}

}  // namespace

// A settings document with the fields of the latest job of each group the printer got; the
// groups never sent are left out.
int lastSent(const Arguments::Invocation &invocation, CommandContext &context)
{
    const std::optional<std::vector<LedgerEntries::Entry>> entries = LedgerEntries::read(context.err);
    if (!entries)
        return ExitCode::kNotASettingsFile;
    const std::string &printer = invocation.printers.front();
    const auto latest = latestPerGroup(*entries, printer, context.spoolers);
    if (latest.empty())
        context.err << "sbq740-cli: the ledger holds no settings delivered to " << OutputText::forTerminal(printer) << '\n';

    context.out << "{\n  \"format\": " << jsonString(SettingsText::kFormat)
                << ",\n  \"version\": " << SettingsText::kVersion << ",\n  \"fields\": {";
    const char *separator = "\n";
    for (const std::string_view group : kGroups) {
        const auto found = latest.find(group);
        if (found == latest.end())
            continue;
        for (const Json::Member &field : found->second->value.member("fields")->members) {
            context.out << separator << "    " << jsonString(field.name) << ": " << fieldEntry(field.value);
            separator = ",\n";
        }
    }
    context.out << (latest.empty() ? "}\n}\n" : "\n  }\n}\n");
    return ExitCode::kOk;
}

}  // namespace Commands
