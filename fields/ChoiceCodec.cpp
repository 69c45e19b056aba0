#include "fields/ChoiceCodec.h"

#include <algorithm>

namespace Fields {

ChoiceCodec::ChoiceCodec(std::optional<std::size_t> unknownShows, std::optional<char> noneWrites)
    : m_unknownShows(unknownShows)
    , m_noneWrites(noneWrites)
{
}

FieldValue ChoiceCodec::decode(const Field &field, const SettingsImage &image) const
{
    const char code = image[field.owned.front().offset];
    const auto found = std::ranges::find(field.choices, code, &Choice::code);
    if (found != field.choices.end())
        return {static_cast<std::size_t>(found - field.choices.begin()), {}};
    return {m_unknownShows, {}};
}

void ChoiceCodec::encode(const Field &field, const FieldValue &value, SettingsImage &image) const
{
    char &code = image[field.owned.front().offset];
    if (value.choice && *value.choice < field.choices.size())
        code = field.choices[*value.choice].code;
    else if (m_noneWrites)
        code = *m_noneWrites;
}

Accepted ChoiceCodec::accept(const Field &field, std::string_view typed, const SettingsImage &) const
{
    if (const std::optional<std::size_t> index = field.choiceNamed(typed))
        return {FieldValue{index, {}}, {}};
    std::string names;
    for (const Choice &choice : field.choices)
        names += (names.empty() ? "" : ", ") + std::string(choice.name);
    return {std::nullopt, "not one of its choices (" + names + ")"};
}

// With none chosen, the code read goes back as it was.
bool ChoiceCodec::keeps(const Loaded &loaded, const SettingsImage &) const
{
    return !loaded.shown.choice && !m_noneWrites;
}

}  // namespace Fields
