#pragma once

#include "fields/Field.h"
#include "settings/SettingsImage.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The settings of an image as the four pages show them: per page, each field's caption and the
// value its control would display, through the pages' field descriptions. A direction list is
// shown with the value it gives its direction. Texts are UTF-8, mnemonic markers removed.
namespace ShownSettings {

using ImageSpan = Fields::ImageSpan;

struct Field
{
    std::string caption;
    std::optional<std::string> value;  // nothing: a radio group with no button checked
    std::string direction;             // the direction list's item, where the field has one
    std::string unit;                  // the unit label beside the value, if any
    std::vector<ImageSpan> sources;    // the image bytes the value is read from
    std::string key;                   // the field's key
};

struct Page
{
    std::string title;  // the tab's caption
    std::vector<Field> fields;
};

// The four pages in tab order: parameters, fine adjustments, IP address, issue control.
std::vector<Page> of(const SettingsImage &image);

// A field's value as its control displays it: a choice by its caption, nothing when none is
// chosen; any other value as its text.
std::optional<std::string> displayedValue(const Fields::Field &field, const Fields::FieldValue &value);

// "後方 0.0 mm", "なし(Y)", "9100"; for a radio group without a checked button, "(no choice)".
// Not yet made safe for a terminal.
std::string displayText(const Field &field);

// True when any byte of the field's sources differs between the two images.
bool sourcesDiffer(const Field &field, const SettingsImage &a, const SettingsImage &b);

}  // namespace ShownSettings
