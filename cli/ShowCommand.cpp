#include "cli/Commands.h"

#include "cli/ExitCodes.h"
#include "cli/OutputText.h"
#include "cli/ShownSettings.h"

using OutputText::forTerminal;
using OutputText::jsonString;

namespace Commands {
namespace {

void printText(const std::vector<ShownSettings::Page> &pages, std::ostream &out)
{
    for (const ShownSettings::Page &page : pages) {
        out << '[' << page.title << "]\n";
        for (const ShownSettings::Field &field : page.fields) {
            const std::string value = forTerminal(ShownSettings::displayText(field));
            out << "  " << field.caption << ':' << (value.empty() ? "" : " ") << value << '\n';
        }
    }
}

void printJsonField(const ShownSettings::Field &field, std::ostream &out)
{
    out << "{\"caption\": " << jsonString(field.caption) << ", \"value\": "
        << (field.value ? jsonString(*field.value) : "null");
    if (!field.direction.empty())
        out << ", \"direction\": " << jsonString(field.direction);
    if (!field.unit.empty())
        out << ", \"unit\": " << jsonString(field.unit);
    out << '}';
}

void printJson(const std::string &path, const std::vector<ShownSettings::Page> &pages, std::ostream &out)
{
    out << "{\n  \"file\": " << jsonString(path) << ",\n  \"pages\": [";
    const char *pageSeparator = "\n";
    for (const ShownSettings::Page &page : pages) {
        out << pageSeparator << "    {\"page\": " << jsonString(page.title) << ", \"fields\": [";
        const char *fieldSeparator = "\n";
        for (const ShownSettings::Field &field : page.fields) {
            out << fieldSeparator << "      ";
            printJsonField(field, out);
            fieldSeparator = ",\n";
        }
        out << "\n    ]}";
        pageSeparator = ",\n";
    }
    out << "\n  ]\n}\n";
}

}  // namespace

int show(const Arguments::Invocation &invocation, CommandContext &context)
{
    const std::string &path = invocation.files.front();
    int failure = ExitCode::kNotASettingsFile;
    const std::optional<SettingsImage> image = CommandSupport::readSettingsOrDocument(path, context, failure);
    if (!image)
        return failure;
    const std::vector<ShownSettings::Page> pages = ShownSettings::of(*image);
    if (invocation.json)
        printJson(path, pages, context.out);
    else
        printText(pages, context.out);
    return ExitCode::kOk;
}

}  // namespace Commands
