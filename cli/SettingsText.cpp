#include "cli/SettingsText.h"

#include "cli/Json.h"
#include "cli/OutputText.h"
#include "cli/ShownSettings.h"
#include "fields/DecimalText.h"
#include "fields/FieldTable.h"
#include "fields/NetworkCodecs.h"
#include "fields/ParamRecord.h"

#include <algorithm>
#include <array>
#include <map>

using OutputText::jsonString;

namespace SettingsText {
namespace {

constexpr std::string_view kAdjustmentKey = "param.forward_standby_adjustment";
constexpr std::size_t kExtendedLength = ImageLayout::kInputTypeByte - 1 - ImageLayout::kExtendedRecord;  // 27

// The field that owns each image byte; nothing for bytes no page writes.
std::array<const Fields::Field *, SettingsImage::kSize> owners()
{
    std::array<const Fields::Field *, SettingsImage::kSize> owner{};
    for (const Fields::Field &field : Fields::all()) {
        for (const Fields::ImageSpan &span : field.owned) {
            for (std::size_t i = 0; i < span.length; ++i)
                owner[span.offset + i] = &field;
        }
    }
    return owner;
}

bool inExtendedRecord(std::size_t offset)
{
    return offset >= ImageLayout::kExtendedRecord && offset < ImageLayout::kExtendedRecord + kExtendedLength;
}

// A choice by its name; any other value as its text. Nothing for a choice none is chosen.
std::optional<std::string> valueText(const Fields::Field &field, const Fields::FieldValue &value)
{
    if (field.kind != Fields::Kind::Choice)
        return value.text;
    if (!value.choice || *value.choice >= field.choices.size())
        return std::nullopt;
    return std::string(field.choices[*value.choice].name);
}

// Whether a value as given and the value stored mean the same: the same choice, number,
// address or text.
bool sameValue(const Fields::Field &field, const std::string &given, const Fields::FieldValue &stored)
{
    switch (field.kind) {
    case Fields::Kind::Choice: return valueText(field, stored) == given;
    case Fields::Kind::Number:
    case Fields::Kind::Port: return DecimalText::leadingDecimal(given) == DecimalText::leadingDecimal(stored.text);
    case Fields::Kind::Address: return Fields::addressOctets(given) == Fields::addressOctets(stored.text);
    case Fields::Kind::Text: return given == stored.text;
    }
    return false;
}

// A value for one field, as a document or a command line gives it.
struct Given
{
    const Fields::Field *field;
    std::optional<std::string> value;  // nothing: null, none chosen
    std::optional<std::string> bytes;  // the field's bytes as a file held them
};

// Settings built over a base image, one field at a time, with the pages' rules.
class Builder
{
public:
    explicit Builder(const SettingsImage &base) : m_image(base) {}

    void refuse(std::string where, std::optional<std::string> value, std::string reason)
    {
        m_built.refusals.push_back({std::move(where), std::move(value), std::move(reason)});
    }

    void putBytes(std::size_t offset, std::string_view bytes)
    {
        for (std::size_t i = 0; i < bytes.size(); ++i)
            m_image[offset + i] = bytes[i];
    }

    // The fields in the order the pages store them, so a field that depends on another (the
    // client ID on its input type) sees that one's new value.
    void apply(std::vector<Given> given)
    {
        const std::vector<Fields::Field> &fields = Fields::all();
        const auto rank = [&fields](const Given &g) { return g.field - fields.data(); };
        std::ranges::stable_sort(given, {}, rank);
        for (const Given &g : given)
            applyOne(g);
    }

    Built finish()
    {
        checkAdjustment();
        if (m_built.refusals.empty())
            m_built.image = m_image;
        return std::move(m_built);
    }

    // The image as far as it is built, refused fields aside.
    const SettingsImage &current() const { return m_image; }

private:
    // As the page would take it: a value equal to what the field shows for its bytes (those
    // given, else those of the base) leaves the field unedited, and the page writes it back as
    // it writes an unedited field; any other value is typed into the field.
    void applyOne(const Given &given)
    {
        const Fields::Field &field = *given.field;
        const std::string key(field.key);
        SettingsImage source = m_image;
        if (given.bytes) {
            if (given.bytes->size() != field.ownedLength()) {
                refuse(key, given.value, "\"bytes\" must hold " + std::to_string(field.ownedLength()) + " bytes");
                return;
            }
            field.putOwnedBytes(*given.bytes, source);
        }
        const Fields::FieldValue shown = field.shownAfterLoad(source);
        const Fields::Loaded loaded = field.load(source, shown);
        if (valueText(field, shown) == given.value) {
            field.encode(shown, m_image, &loaded);
            return;
        }
        if (!given.value) {
            refuse(key, std::nullopt, field.kind == Fields::Kind::Choice
                                          ? "null (no choice) needs the bytes of a choice no button shows"
                                          : "null is no value of this field");
            return;
        }
        const Fields::Accepted accepted = field.accept(*given.value, m_image);
        if (!accepted.value) {
            refuse(key, given.value, accepted.refusal);
            return;
        }
        field.encode(*accepted.value, m_image);
        if (field.key == kAdjustmentKey)
            m_adjustmentTyped = given.value;
        const Fields::FieldValue stored = field.shownAfterLoad(m_image);
        if (!sameValue(field, *given.value, stored))
            m_built.changes.push_back({key, *given.value, valueText(field, stored).value_or("")});
    }

    // The send refuses a parameter record whose adjustment is off the 0.5 mm grid: a value
    // typed here must pass; one carried from the file is kept, with a warning.
    void checkAdjustment()
    {
        const std::string message = ParamRecord::ValidateImage(m_image).message;
        if (message.empty())
            return;
        if (m_adjustmentTyped) {
            refuse(std::string(kAdjustmentKey), m_adjustmentTyped, message);
            return;
        }
        m_built.warnings.push_back(std::string(kAdjustmentKey) + ": kept as the file holds it; "
                                   "'send --group param' refuses it: " + message);
    }

    SettingsImage m_image;
    Built m_built;
    std::optional<std::string> m_adjustmentTyped;
};

// --- reading a document ---

bool isString(const Json::Value *value)
{
    return value && value->type == Json::Value::Type::String;
}

std::optional<std::string> bytesMember(const Json::Value &value, const std::string &where, Builder &builder)
{
    if (!isString(&value)) {
        builder.refuse(where, std::nullopt, "must be a string of bytes, not " + std::string(Json::typeName(value.type)));
        return std::nullopt;
    }
    std::optional<std::string> bytes = Json::bytesOf(value.text);
    if (!bytes)
        builder.refuse(where, value.text, "a string of bytes holds characters U+0000-U+00FF only");
    return bytes;
}

// One member of an entry; false when it is refused.
bool readEntryMember(const Json::Member &member, const std::string &key, Given &given, Builder &builder)
{
    const std::string where = key + "." + member.name;
    const Json::Value &value = member.value;
    if (member.name == "value") {
        if (value.type == Json::Value::Type::String)
            given.value = value.text;
        else if (value.type != Json::Value::Type::Null)
            builder.refuse(where, std::nullopt, "must be a string or null, not " + std::string(Json::typeName(value.type)));
        return value.type == Json::Value::Type::String || value.type == Json::Value::Type::Null;
    }
    if (member.name == "bytes") {
        given.bytes = bytesMember(value, where, builder);
        return given.bytes.has_value();
    }
    if (member.name == "label" || member.name == "caption" || member.name == "unit") {
        if (!isString(&value))
            builder.refuse(where, std::nullopt, "must be a string");
        return isString(&value);
    }
    builder.refuse(where, std::nullopt, "no such member (value, bytes, label, caption, unit)");
    return false;
}

std::optional<Given> fieldEntry(const Json::Member &entry, Builder &builder)
{
    const Fields::Field *field = Fields::find(entry.name);
    if (!field) {
        builder.refuse(entry.name, std::nullopt, "no field has this key");
        return std::nullopt;
    }
    if (entry.value.type != Json::Value::Type::Object) {
        builder.refuse(entry.name, std::nullopt, "must be an object such as {\"value\": \"...\"}");
        return std::nullopt;
    }
    if (!entry.value.member("value")) {
        builder.refuse(entry.name, std::nullopt, "has no \"value\"");
        return std::nullopt;
    }
    Given given{field, std::nullopt, std::nullopt};
    bool sound = true;
    for (const Json::Member &member : entry.value.members)
        sound = readEntryMember(member, entry.name, given, builder) && sound;
    return sound ? std::optional(given) : std::nullopt;
}

void readUnowned(const Json::Value &list, Builder &builder)
{
    if (list.type != Json::Value::Type::Array) {
        builder.refuse("unowned", std::nullopt, "must be an array of {\"offset\", \"bytes\"}");
        return;
    }
    const auto owner = owners();
    for (std::size_t i = 0; i < list.items.size(); ++i) {
        const Json::Value &run = list.items[i];
        const std::string where = "unowned[" + std::to_string(i) + "]";
        const Json::Value *offsetValue = run.type == Json::Value::Type::Object ? run.member("offset") : nullptr;
        const Json::Value *bytesValue = run.type == Json::Value::Type::Object ? run.member("bytes") : nullptr;
        if (!offsetValue || !bytesValue || run.members.size() != 2) {
            builder.refuse(where, std::nullopt, "must be {\"offset\": N, \"bytes\": \"...\"}");
            continue;
        }
        const std::optional<std::size_t> offset = offsetValue->index(SettingsImage::kSize - 1);
        const std::optional<std::string> bytes = bytesMember(*bytesValue, where + ".bytes", builder);
        if (!offset || !bytes || bytes->empty() || *offset + bytes->size() > SettingsImage::kSize) {
            if (bytes)
                builder.refuse(where, std::nullopt, "must lie within the image's 260 bytes");
            continue;
        }
        const auto taken = std::ranges::find_if(owner.begin() + std::ptrdiff_t(*offset),
                                                owner.begin() + std::ptrdiff_t(*offset + bytes->size()),
                                                [](const Fields::Field *field) { return field != nullptr; });
        const std::size_t extended = ImageLayout::kExtendedRecord;
        const bool overlapsExtended = *offset < extended + kExtendedLength && *offset + bytes->size() > extended;
        if (taken != owner.begin() + std::ptrdiff_t(*offset + bytes->size()))
            builder.refuse(where, std::nullopt, "holds bytes of the field " + std::string((*taken)->key));
        else if (overlapsExtended)
            builder.refuse(where, std::nullopt, "holds bytes of extended_record");
        else
            builder.putBytes(*offset, *bytes);
    }
}

void readDocument(const Json::Value &root, Builder &builder)
{
    std::vector<Given> given;
    for (const Json::Member &member : root.members) {
        if (member.name == "format" || member.name == "version") {
            continue;
        } else if (member.name == "fields") {
            if (member.value.type != Json::Value::Type::Object) {
                builder.refuse("fields", std::nullopt, "must be an object of keys");
                continue;
            }
            for (const Json::Member &entry : member.value.members) {
                if (std::optional<Given> field = fieldEntry(entry, builder))
                    given.push_back(*field);
            }
        } else if (member.name == "extended_record") {
            const std::optional<std::string> bytes = bytesMember(member.value, member.name, builder);
            if (bytes && bytes->size() != kExtendedLength)
                builder.refuse(member.name, std::nullopt, "must hold the record's 27 bytes");
            else if (bytes)
                builder.putBytes(ImageLayout::kExtendedRecord, *bytes);
        } else if (member.name == "unowned") {
            readUnowned(member.value, builder);
        } else {
            builder.refuse(member.name, std::nullopt, "no such member (format, version, fields, extended_record, unowned)");
        }
    }
    builder.apply(std::move(given));
}

std::optional<std::string> notOurDocument(const Json::Value &root)
{
    if (root.type != Json::Value::Type::Object)
        return "not a settings document: the document is not an object";
    const Json::Value *format = root.member("format");
    if (!isString(format) || format->text != kFormat)
        return "not a settings document: it has no \"format\": \"" + std::string(kFormat) + "\"";
    const Json::Value *version = root.member("version");
    if (!version || version->index(1000) != std::optional<std::size_t>(kVersion))
        return "a settings document of another version: this program reads \"version\": " + std::to_string(kVersion);
    return std::nullopt;
}

// --- writing a document ---

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

Built importDocument(std::string_view text, const SettingsImage &base)
{
    Builder builder(base);
    const Json::Parsed parsed = Json::parse(text);
    std::optional<std::string> notOurs = parsed.value ? notOurDocument(*parsed.value)
                                                      : std::optional("not a settings document: " + parsed.error);
    if (notOurs) {
        builder.refuse({}, std::nullopt, *notOurs);
        Built built = builder.finish();
        built.notADocument = true;
        return built;
    }
    readDocument(*parsed.value, builder);
    return builder.finish();
}

Built setValues(const std::vector<std::string> &assignments, const SettingsImage &base)
{
    Builder builder(base);
    std::vector<Given> given;
    std::map<std::string, bool> seen;
    for (const std::string &assignment : assignments) {
        const std::size_t equals = assignment.find('=');
        const std::string key = assignment.substr(0, equals);
        const std::string value = equals == std::string::npos ? std::string() : assignment.substr(equals + 1);
        const Fields::Field *field = Fields::find(key);
        if (!field)
            builder.refuse(key, value, "no field has this key");
        else if (seen[key])
            builder.refuse(key, value, "given more than once");
        else
            given.push_back({field, value, std::nullopt});
        seen[key] = true;
    }
    builder.apply(std::move(given));
    return builder.finish();
}

bool looksLikeDocument(std::string_view bytes)
{
    const std::size_t first = bytes.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && bytes[first] == '{';
}

}  // namespace SettingsText
