#pragma once

#include "FuzzSupport.h"
#include "fields/FieldTable.h"

#include <string_view>

// What the page-codec targets share: a page's fields written back unedited, as the page writes
// them after a distribution, and the rules of its controls applied to any text.
namespace FieldFuzzing {

inline SettingsImage roundTrip(const SettingsImage &image, Fields::PageId page)
{
    SettingsImage stored = image;
    for (const Fields::Field *field : Fields::ofPage(page)) {
        const Fields::FieldValue shown = field->shownAfterLoad(image);
        const Fields::Loaded loaded = field->load(image, shown);
        field->encode(shown, stored, &loaded);
    }
    return stored;
}

// A rule's replacement is never replaced again, and a typed text the page takes is stored within
// the field's own bytes and reads back as a value of the field.
inline void checkRules(std::string_view text, const SettingsImage &image, Fields::PageId page)
{
    for (const Fields::Field *field : Fields::ofPage(page)) {
        for (const bool focus : {false, true}) {
            if (const auto replaced = field->filter(text, focus))
                FuzzSupport::require(!field->filter(*replaced, focus), "a field's rule replaces its own text again");
        }
        const Fields::Accepted accepted = field->accept(text, image);
        if (!accepted.value)
            continue;
        SettingsImage written = image;
        field->encode(*accepted.value, written);
        const Fields::FieldValue back = field->decode(written);
        FuzzSupport::require(!back.choice || *back.choice < field->choices.size(), "a typed choice reads back as none");
    }
}

}  // namespace FieldFuzzing
