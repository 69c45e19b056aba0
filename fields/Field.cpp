#include "fields/Field.h"

#include "fields/DecimalText.h"
#include "fields/FieldCodec.h"

#include <algorithm>

namespace Fields {

std::string Spin::stepText(int position) const
{
    if (wholeNumbers)
        return std::to_string(position);
    return DecimalText::formatOneDecimal(position * scale);
}

FieldValue Field::decode(const SettingsImage &image) const
{
    return codec->decode(*this, image);
}

FieldValue Field::shownAfterLoad(const SettingsImage &image) const
{
    FieldValue value = decode(image);
    if (const std::optional<std::string> replacement = filter(value.text, false))
        value.text = *replacement;
    return value;
}

Loaded Field::load(const SettingsImage &image, FieldValue shown) const
{
    std::string bytes = ownedBytes(image);
    for (const ImageSpan &span : reads)
        bytes += image.slice(span.offset, span.length);
    return {std::move(bytes), std::move(shown)};
}

void Field::encode(const FieldValue &value, SettingsImage &image, const Loaded *loaded) const
{
    if (loaded && value == loaded->shown && loaded->bytes.size() >= ownedLength() && codec->keeps(*loaded, image))
        putOwnedBytes(loaded->bytes, image);
    else
        codec->encode(*this, value, image);
}

std::optional<std::string> Field::filter(std::string_view text, bool hasFocus) const
{
    return codec->filter(text, hasFocus);
}

Accepted Field::accept(std::string_view typed, const SettingsImage &image) const
{
    return codec->accept(*this, typed, image);
}

std::string Field::ownedBytes(const SettingsImage &image) const
{
    std::string bytes;
    for (const ImageSpan &span : owned)
        bytes += image.slice(span.offset, span.length);
    return bytes;
}

void Field::putOwnedBytes(std::string_view bytes, SettingsImage &image) const
{
    std::size_t next = 0;
    for (const ImageSpan &span : owned) {
        for (std::size_t i = 0; i < span.length; ++i)
            image[span.offset + i] = bytes.at(next++);
    }
}

std::size_t Field::ownedLength() const
{
    std::size_t length = 0;
    for (const ImageSpan &span : owned)
        length += span.length;
    return length;
}

std::optional<std::size_t> Field::choiceNamed(std::string_view name) const
{
    const auto found = std::ranges::find(choices, name, &Choice::name);
    if (found == choices.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - choices.begin());
}

std::optional<std::size_t> Field::choiceCaptioned(std::string_view text) const
{
    const auto found = std::ranges::find(choices, text, &Choice::caption);
    if (found == choices.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - choices.begin());
}

std::string withoutMnemonic(std::string_view text)
{
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    return shown;
}

std::optional<std::string> FieldCodec::filter(std::string_view, bool) const
{
    return std::nullopt;
}

bool FieldCodec::keeps(const Loaded &, const SettingsImage &) const
{
    return false;
}

}  // namespace Fields
