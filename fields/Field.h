#pragma once

#include "settings/SettingsImage.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One field of the four pages, described once: where it is (page, caption, control), which image
// bytes it owns, what kind of value it holds and the values it offers, and its codec between the
// image bytes, the text the page shows and the text typed into it. The pages bind their controls
// through these descriptions and sbq740-cli shows, exports, imports and sets fields through them.
// Shown texts are UTF-8; the codecs read and write the image's CP932 bytes.
namespace Fields {

class FieldCodec;

enum class PageId { Param, Fine, Ip, Issue };

enum class Kind {
    Choice,   // radio buttons or a drop-down list
    Number,   // an edit with a spin, a unit and, for the millimetre values, a direction list
    Address,  // four parts of 0-255
    Port,     // the socket port box
    Text,     // the DHCP client ID
};

struct ImageSpan
{
    std::size_t offset;
    std::size_t length;
};

// A control of the page's layout, as its object name "<kind>_<id>" names it.
struct Control
{
    std::string_view kind;  // "radio", "combo", "edit", "ip", "spin"
    int id = 0;
};

struct Choice
{
    std::string_view name;     // stable ASCII name
    std::string_view caption;  // the button's or the list item's text, mnemonic marker kept
    char code;                 // what the image holds for it
    int buttonId = 0;          // the radio button; 0 for a list item
};

// The spin beside a number's edit: positions lower...upper, each `scale` of the value.
struct Spin
{
    Control control;
    int lower;
    int upper;
    double scale;
    bool wholeNumbers;  // the edit shows the position itself, not position x scale

    // The text a step to `position` puts into the edit.
    std::string stepText(int position) const;
};

struct Number
{
    std::string_view unit;
    Spin spin;
    std::string_view directionKey;  // the choice that gives the value its direction; empty: none
};

// What a field's control shows.
struct FieldValue
{
    std::optional<std::size_t> choice;  // choices: the chosen one's index; nothing: none chosen
    std::string text;                   // the other kinds: the text shown

    bool operator==(const FieldValue &) const = default;
};

// A field as the page showed it after a distribution: the bytes it read (those it owns, then
// those it also reads) and the value it showed for them. An unedited field goes back as read
// where its codec keeps such bytes.
struct Loaded
{
    std::string bytes;
    FieldValue shown;
};

// The value a typed text leaves in the field, or why no control of the page would take it.
struct Accepted
{
    std::optional<FieldValue> value;
    std::string refusal;
};

struct Field
{
    std::string_view key;          // stable ASCII, "<page>.<name>"
    PageId page;
    std::string_view caption;      // the group box's title or the label naming the control
    std::string_view groupTitle;   // where the caption is a label inside a group box: its title
    Control control;               // the control that holds the value (a choice's first button)
    Kind kind;
    std::vector<ImageSpan> owned;  // the bytes the page writes
    std::vector<ImageSpan> reads;  // bytes the shown value also depends on, owned elsewhere
    std::vector<Choice> choices;
    std::optional<Number> number;
    const FieldCodec *codec = nullptr;

    // The value the page shows for `image`, before any rule of its control runs.
    FieldValue decode(const SettingsImage &image) const;
    // The value the control holds after a distribution: decoded, then kept by the control's rule
    // as it applies without the input focus.
    FieldValue shownAfterLoad(const SettingsImage &image) const;
    // What the page keeps of a distribution that left `shown` in the control.
    Loaded load(const SettingsImage &image, FieldValue shown) const;
    // Writes `value` into the owned bytes of `image` and no other byte. A field still showing
    // what `loaded` showed goes back as read where the codec keeps such bytes.
    void encode(const FieldValue &value, SettingsImage &image, const Loaded *loaded = nullptr) const;
    // The rule the control applies to each change of its text: the text that replaces it, or
    // nothing when it stays.
    std::optional<std::string> filter(std::string_view text, bool hasFocus) const;
    // `typed` entered into the control, as an operator would type it (a choice by its name), run
    // through the control's rule; `image` holds the fields this one depends on.
    Accepted accept(std::string_view typed, const SettingsImage &image) const;

    std::string ownedBytes(const SettingsImage &image) const;
    void putOwnedBytes(std::string_view bytes, SettingsImage &image) const;
    std::size_t ownedLength() const;

    // The index of the choice named `name`, or the one with exactly this caption.
    std::optional<std::size_t> choiceNamed(std::string_view name) const;
    std::optional<std::size_t> choiceCaptioned(std::string_view text) const;
};

// The text as a control shows it: "&x" shows as "x" (underlined), "&&" as "&".
std::string withoutMnemonic(std::string_view text);

}  // namespace Fields
