#include "cli/SettingsTextBuilder.h"

#include "fields/DecimalText.h"
#include "fields/NetworkCodecs.h"
#include "fields/ParamRecord.h"

#include <algorithm>
#include <map>

namespace SettingsText {

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

std::optional<std::string> valueText(const Fields::Field &field, const Fields::FieldValue &value)
{
    if (field.kind != Fields::Kind::Choice)
        return value.text;
    if (!value.choice || *value.choice >= field.choices.size())
        return std::nullopt;
    return std::string(field.choices[*value.choice].name);
}

namespace {

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

}  // namespace

void Builder::refuse(std::string where, std::optional<std::string> value, std::string reason)
{
    m_built.refusals.push_back({std::move(where), std::move(value), std::move(reason)});
}

void Builder::putBytes(std::size_t offset, std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i)
        m_image[offset + i] = bytes[i];
}

void Builder::apply(std::vector<Given> given)
{
    const std::vector<Fields::Field> &fields = Fields::all();
    const auto rank = [&fields](const Given &g) { return g.field - fields.data(); };
    std::ranges::stable_sort(given, {}, rank);
    for (const Given &g : given)
        applyOne(g);
}

Built Builder::finish()
{
    checkAdjustment();
    if (m_built.refusals.empty())
        m_built.image = m_image;
    return std::move(m_built);
}

// As the page would take it: a value equal to what the field shows for its bytes (those given,
// else those of the base) leaves the field unedited, and the page writes it back as it writes an
// unedited field; any other value is typed into the field.
void Builder::applyOne(const Given &given)
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

// The send refuses a parameter record whose adjustment is off the 0.5 mm grid: a value typed
// here must pass; one carried from the file is kept, with a warning.
void Builder::checkAdjustment()
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

}  // namespace SettingsText
