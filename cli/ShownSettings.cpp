#include "cli/ShownSettings.h"

#include "fields/FieldTable.h"
#include "res/Strings.h"

#include <string_view>

namespace ShownSettings {
namespace {

using Fields::withoutMnemonic;

constexpr Fields::PageId kPages[] = {Fields::PageId::Param, Fields::PageId::Fine, Fields::PageId::Ip,
                                     Fields::PageId::Issue};

// The tab caption without the blanks some captions carry for their width.
std::string tabTitle(Fields::PageId page)
{
    std::string_view caption;
    switch (page) {
    case Fields::PageId::Param: caption = Str::kTabParam; break;
    case Fields::PageId::Fine: caption = Str::kTabFine; break;
    case Fields::PageId::Ip: caption = Str::kTabIp; break;
    case Fields::PageId::Issue: caption = Str::kTabIssue; break;
    }
    const std::size_t end = caption.find_last_not_of(' ');
    return std::string(caption.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

std::vector<ImageSpan> sourcesOf(const Fields::Field &field)
{
    std::vector<ImageSpan> sources = field.owned;
    sources.insert(sources.end(), field.reads.begin(), field.reads.end());
    return sources;
}

// A number's direction is shown in the number's line, not in a line of its own.
bool isDirection(const Fields::Field &field)
{
    for (const Fields::Field &other : Fields::all()) {
        if (Fields::directionOf(other) == &field)
            return true;
    }
    return false;
}

Field shownField(const Fields::Field &field, const SettingsImage &image)
{
    Field shown{withoutMnemonic(field.caption), {}, {}, {}, sourcesOf(field), std::string(field.key)};
    shown.value = displayedValue(field, field.shownAfterLoad(image));
    if (!field.number)
        return shown;
    shown.unit = field.number->unit;
    if (const Fields::Field *directionField = Fields::directionOf(field)) {
        const Fields::Field &direction = *directionField;
        shown.direction = displayedValue(direction, direction.shownAfterLoad(image)).value_or("");
        std::vector<ImageSpan> sources = sourcesOf(direction);
        sources.insert(sources.end(), shown.sources.begin(), shown.sources.end());
        shown.sources = std::move(sources);
    }
    return shown;
}

}  // namespace

std::optional<std::string> displayedValue(const Fields::Field &field, const Fields::FieldValue &value)
{
    if (field.kind != Fields::Kind::Choice)
        return value.text;
    if (!value.choice || *value.choice >= field.choices.size())
        return std::nullopt;
    return withoutMnemonic(field.choices[*value.choice].caption);
}

std::vector<Page> of(const SettingsImage &image)
{
    std::vector<Page> pages;
    for (const Fields::PageId id : kPages) {
        Page page{tabTitle(id), {}};
        for (const Fields::Field *field : Fields::ofPage(id)) {
            if (!isDirection(*field))
                page.fields.push_back(shownField(*field, image));
        }
        pages.push_back(std::move(page));
    }
    return pages;
}

std::string displayText(const Field &field)
{
    if (!field.value)
        return "(no choice)";
    std::string text = field.direction.empty() ? *field.value : field.direction + ' ' + *field.value;
    if (!field.unit.empty())
        text += ' ' + field.unit;
    return text;
}

bool sourcesDiffer(const Field &field, const SettingsImage &a, const SettingsImage &b)
{
    for (const ImageSpan &span : field.sources) {
        if (a.slice(span.offset, span.length) != b.slice(span.offset, span.length))
            return true;
    }
    return false;
}

}  // namespace ShownSettings
