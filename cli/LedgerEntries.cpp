#include "cli/LedgerEntries.h"

#include "cli/OutputText.h"
#include "cli/PrinterAddress.h"
#include "cli/Spoolers.h"
#include "ledger/LedgerFile.h"

namespace LedgerEntries {
namespace {

std::string textOf(const Json::Value &object, std::string_view name)
{
    const Json::Value *member = object.member(name);
    return member && member->type == Json::Value::Type::String ? member->text : std::string();
}

std::optional<Entry> entryOf(const std::string &line)
{
    Json::Parsed parsed = Json::parse(line);
    if (!parsed.value || parsed.value->type != Json::Value::Type::Object)
        return std::nullopt;
    Entry entry;
    entry.line = line;
    entry.value = std::move(*parsed.value);
    const Json::Value &v = entry.value;
    entry.time = textOf(v, "time");
    entry.user = textOf(v, "user");
    entry.host = textOf(v, "host");
    entry.program = textOf(v, "program");
    entry.printer = textOf(v, "printer");
    entry.server = textOf(v, "server");
    entry.group = textOf(v, "group");
    entry.sha256 = textOf(v, "sha256");
    entry.outcome = textOf(v, "outcome");
    entry.reason = textOf(v, "reason");
    if (const Json::Value *id = v.member("job_id"))
        entry.jobId = static_cast<long long>(id->index(2147483647).value_or(0));
    if (entry.time.empty() || entry.printer.empty() || entry.outcome.empty())
        return std::nullopt;
    return entry;
}

}  // namespace

std::string Entry::printerName() const
{
    return OutputText::printerName(printer) + '@' + server;
}

std::optional<std::vector<Entry>> read(std::ostream &err)
{
    const std::string path = LedgerFile::location();
    const LedgerFile::Contents contents = LedgerFile::read(path);
    if (contents.error) {
        err << "sbq740-cli: " << OutputText::forTerminal(path) << ": " << *contents.error << '\n';
        return std::nullopt;
    }
    for (const std::string &warning : contents.warnings)
        err << "sbq740-cli: warning: " << OutputText::forTerminal(path) << ": " << warning << '\n';
    std::vector<Entry> entries;
    for (std::size_t i = 0; i < contents.lines.size(); ++i) {
        if (std::optional<Entry> entry = entryOf(contents.lines[i]))
            entries.push_back(std::move(*entry));
        else
            err << "sbq740-cli: warning: " << OutputText::forTerminal(path) << ": line "
                << contents.lineNumbers[i] << " is no ledger record; skipped\n";
    }
    return entries;
}

bool isOf(const Entry &entry, const std::string &name, const Spoolers &spoolers)
{
    const PrinterAddress address = PrinterAddress::parse(name);
    if (entry.server != spoolers.nameOf(address.server))
        return false;
    return entry.printer == address.queue || entry.printer == OutputText::unescapePrinterName(address.queue);
}

}  // namespace LedgerEntries
