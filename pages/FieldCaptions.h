#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// What a page shows beside its values: the captions of its radio groups and buttons and the
// labels of its edit fields and lists, each tied to the control it belongs to (kind and id, as the
// control's object name "<kind>_<id>" in the page's layout). Texts are UTF-8 and keep their
// mnemonic markers ("なし(&Y)").

struct CaptionedControl
{
    std::string_view kind;  // "radio", "edit", "combo", "ip"
    int id;
    std::string_view text;
};

// A group box and its radio buttons, in the order of their choice indices.
struct RadioGroupCaptions
{
    std::string_view caption;
    std::array<CaptionedControl, 3> buttons;
    std::size_t buttonCount;

    constexpr std::string_view buttonText(int index) const
    {
        return index >= 0 && static_cast<std::size_t>(index) < buttonCount
                   ? buttons[static_cast<std::size_t>(index)].text
                   : std::string_view{};
    }
};

// A label and the control it names (its buddy).
struct LabelCaption
{
    std::string_view text;
    CaptionedControl buddy;
};

namespace FieldCaptions {

// The text as the control shows it: "&x" shows as "x" (underlined), "&&" as "&".
inline std::string withoutMnemonic(std::string_view text)
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

}  // namespace FieldCaptions
