#pragma once

#include "settings/SettingsImage.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Settings as a JSON document with the fields' stable keys, and back, through the pages' field
// descriptions. Values are written as the pages show them (a choice by its name, its caption
// beside it); bytes no page owns travel beside them, so a document gives back the file the pages
// would write. Read back, each value goes through the rule its control applies to typed text.
//
//   {"format": "sbq740-settings", "version": 1,
//    "fields": {"param.cut_speed": {"label": "カット速度", "value": "high_speed", "caption": "高速モード(5)"},
//               "fine.feed": {"label": "フィード量微調(N)", "value": "12.3", "unit": "mm"}, ...},
//    "extended_record": "\u001bZ2;3,00000030054000520+00\n",
//    "unowned": [{"offset": 8, "bytes": "7"}]}
//
// "label", "caption" and "unit" are for people and are not read back. A field whose bytes its value
// alone would not give back (an unedited field the page keeps as read, a choice no button shows)
// carries them as "bytes"; a string of bytes holds one character U+0000-U+00FF per byte.
namespace SettingsText {

inline constexpr std::string_view kFormat = "sbq740-settings";
inline constexpr int kVersion = 1;

// A field that the pages would not write back as the image holds it.
struct Unreproduced
{
    std::string key;
    std::string held;     // the field's bytes in the image
    std::string written;  // the bytes the pages write for them
};

struct Exported
{
    std::string document;
    std::vector<Unreproduced> unreproduced;
};

Exported exportImage(const SettingsImage &image);

// A value the field's rule took, but not as it was given.
struct Change
{
    std::string key;
    std::string given;
    std::string shown;  // as the page shows the value stored
};

// A value no control of the pages would take, or a document that is not one.
struct Refusal
{
    std::string where;                 // a key, or the part of the document; empty: all of it
    std::optional<std::string> value;  // as given
    std::string reason;
};

struct Built
{
    std::optional<SettingsImage> image;  // nothing when anything was refused
    bool notADocument = false;           // the text is no settings document at all
    std::vector<Refusal> refusals;
    std::vector<Change> changes;
    std::vector<std::string> warnings;
};

// The settings a document gives, over `base` for what it leaves out.
Built importDocument(std::string_view text, const SettingsImage &base);

// "KEY=VALUE" texts applied to `base`.
Built setValues(const std::vector<std::string> &assignments, const SettingsImage &base);

// True when `bytes` begin, after blanks, like a JSON object rather than a settings file.
bool looksLikeDocument(std::string_view bytes);

}  // namespace SettingsText
