#pragma once

#include "fields/FieldCodec.h"

#include <cstddef>
#include <optional>

namespace Fields {

// A choice held as one code character, the field's only owned byte: each choice writes its own
// code and a code reads as the choice that carries it.
class ChoiceCodec : public FieldCodec
{
public:
    // `unknownShows`: the choice shown for a code no choice carries; nothing: none is shown, and
    // the code goes back as read while none is chosen. `noneWrites`: the code written when none
    // is chosen; nothing: the code read (or, without one, the byte as it stands).
    ChoiceCodec(std::optional<std::size_t> unknownShows, std::optional<char> noneWrites);

    FieldValue decode(const Field &field, const SettingsImage &image) const override;
    void encode(const Field &field, const FieldValue &value, SettingsImage &image) const override;
    Accepted accept(const Field &field, std::string_view typed, const SettingsImage &image) const override;
    bool keeps(const Loaded &loaded, const SettingsImage &image) const override;

private:
    std::optional<std::size_t> m_unknownShows;
    std::optional<char> m_noneWrites;
};

}  // namespace Fields
