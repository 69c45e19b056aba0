#pragma once

#include "fields/Field.h"

#include <optional>
#include <string>
#include <string_view>

namespace Fields {

// How one kind of field's value sits in the image. A codec works on the positions and choices
// of the field it is given, and writes only the field's owned bytes.
class FieldCodec
{
public:
    virtual ~FieldCodec() = default;

    virtual FieldValue decode(const Field &field, const SettingsImage &image) const = 0;
    virtual void encode(const Field &field, const FieldValue &value, SettingsImage &image) const = 0;

    // The control's rule for a change of its text; nothing when the text stays.
    virtual std::optional<std::string> filter(std::string_view text, bool hasFocus) const;

    // `typed` as the control would take it, or why it can't.
    virtual Accepted accept(const Field &field, std::string_view typed, const SettingsImage &image) const = 0;

    // True when a field still showing `loaded.shown` goes back as `loaded.bytes` rather than
    // encoded from its value. `image` is the image being written.
    virtual bool keeps(const Loaded &loaded, const SettingsImage &image) const;
};

}  // namespace Fields
