#include "cli/SettingsText.h"

#include "cli/Json.h"
#include "cli/SettingsTextBuilder.h"

#include <algorithm>

// Reading a settings document: its members checked one by one, each refusal with its place.
namespace SettingsText {
namespace {

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

}  // namespace

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

bool looksLikeDocument(std::string_view bytes)
{
    const std::size_t first = bytes.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && bytes[first] == '{';
}

}  // namespace SettingsText
