#include "cli/SettingsText.h"

#include "cli/Json.h"
#include "cli/OutputText.h"
#include "cli/SettingsTextBuilder.h"
#include "cli/ShownSettings.h"

#include <algorithm>

using OutputText::jsonString;

// Writing a settings document: each field as the pages show it, with its bytes where reading
// the value back would not give them.
namespace SettingsText {
namespace {

std::string fieldEntryText(const Fields::Field &field, const SettingsImage &image, bool withBytes)
{
    const Fields::FieldValue shown = field.shownAfterLoad(image);
    const std::optional<std::string> value = valueText(field, shown);
    std::string text = "{\"label\": " + jsonString(Fields::withoutMnemonic(field.caption))
                       + ", \"value\": " + (value ? jsonString(*value) : std::string("null"));
    if (field.kind == Fields::Kind::Choice && value)
        text += ", \"caption\": " + jsonString(ShownSettings::displayedValue(field, shown).value_or(""));
    if (field.number)
        text += ", \"unit\": " + jsonString(field.number->unit);
    if (withBytes)
        text += ", \"bytes\": " + Json::bytesString(field.ownedBytes(image));
    return text + '}';
}

// Runs of bytes no page owns, outside the extended record, that differ from the factory image.
std::vector<std::pair<std::size_t, std::string>> unownedChanges(const SettingsImage &image)
{
    const auto owner = owners();
    const SettingsImage &factory = SettingsImage::factory();
    std::vector<std::pair<std::size_t, std::string>> runs;
    for (std::size_t offset = 0; offset < SettingsImage::kSize; ++offset) {
        if (owner[offset] || inExtendedRecord(offset) || image[offset] == factory[offset])
            continue;
        if (runs.empty() || runs.back().first + runs.back().second.size() != offset)
            runs.push_back({offset, {}});
        runs.back().second += image[offset];
    }
    return runs;
}

std::string documentText(const SettingsImage &image, const std::vector<bool> &withBytes)
{
    std::string text = "{\n  \"format\": " + jsonString(kFormat) + ",\n  \"version\": " + std::to_string(kVersion)
                       + ",\n  \"fields\": {";
    const std::vector<Fields::Field> &fields = Fields::all();
    for (std::size_t i = 0; i < fields.size(); ++i)
        text += std::string(i == 0 ? "\n" : ",\n") + "    " + jsonString(fields[i].key) + ": "
                + fieldEntryText(fields[i], image, withBytes[i]);
    text += "\n  },\n  \"extended_record\": "
            + Json::bytesString(image.slice(ImageLayout::kExtendedRecord, kExtendedLength)) + ",\n  \"unowned\": [";
    const auto runs = unownedChanges(image);
    for (std::size_t i = 0; i < runs.size(); ++i)
        text += std::string(i == 0 ? "\n" : ",\n") + "    {\"offset\": " + std::to_string(runs[i].first)
                + ", \"bytes\": " + Json::bytesString(runs[i].second) + '}';
    text += runs.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return text;
}

}  // namespace

Exported exportImage(const SettingsImage &image)
{
    const std::vector<Fields::Field> &fields = Fields::all();
    SettingsImage collected = image;
    Fields::storeUnedited(image, collected);

    // Each value read back as typed over the factory image; where that would not give the
    // pages' bytes, the field carries its bytes.
    std::vector<Given> values;
    for (const Fields::Field &field : fields)
        values.push_back({&field, valueText(field, field.shownAfterLoad(image)), std::nullopt});
    Builder typed(SettingsImage::factory());
    typed.apply(values);
    const Built readBack = typed.finish();
    const SettingsImage &typedImage = typed.current();

    Exported exported;
    std::vector<bool> withBytes(fields.size(), false);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const Fields::Field &field = fields[i];
        const bool refused = std::ranges::any_of(readBack.refusals, [&field](const Refusal &refusal) {
            return refusal.where == field.key;
        });
        withBytes[i] = refused || field.ownedBytes(typedImage) != field.ownedBytes(collected);
        if (field.ownedBytes(image) != field.ownedBytes(collected))
            exported.unreproduced.push_back({std::string(field.key), field.ownedBytes(image), field.ownedBytes(collected)});
    }
    exported.document = documentText(image, withBytes);
    return exported;
}

}  // namespace SettingsText
