#include "ledger/GroupFragment.h"

#include "fields/FieldTable.h"
#include "ledger/JsonText.h"

#include <algorithm>

namespace GroupFragment {
namespace {

bool inside(const Fields::Field &field, SettingsJob::Span span)
{
    return !field.owned.empty() && std::ranges::all_of(field.owned, [span](const Fields::ImageSpan &owned) {
        return owned.offset >= span.offset && owned.offset + owned.length <= span.offset + span.length;
    });
}

std::string valueOf(const Fields::Field &field, const SettingsImage &image)
{
    const Fields::FieldValue shown = field.shownAfterLoad(image);
    if (field.kind != Fields::Kind::Choice)
        return JsonText::ofText(shown.text);
    if (!shown.choice || *shown.choice >= field.choices.size())
        return "null";
    return JsonText::ofText(field.choices[*shown.choice].name);
}

}  // namespace

std::string_view nameOf(SettingsJob::Group group)
{
    switch (group) {
    case SettingsJob::Group::Parameter: return "param";
    case SettingsJob::Group::FineAdjustment: return "fine";
    case SettingsJob::Group::IpAddress: return "ip";
    case SettingsJob::Group::IssueControl: return "issue";
    }
    return {};
}

std::string ofJob(SettingsJob::Group group, std::string_view job)
{
    // The bytes outside the group were not sent; the factory's stand in for them.
    const SettingsJob::Span span = SettingsJob::spanOf(group);
    SettingsImage image = SettingsImage::factory();
    for (std::size_t i = 0; i < span.length && i < job.size(); ++i)
        image[span.offset + i] = job[i];

    std::string fragment = "{";
    for (const Fields::Field &field : Fields::all()) {
        if (!inside(field, span))
            continue;
        if (fragment.size() > 1)
            fragment += ", ";
        fragment += JsonText::ofText(field.key) + ": {\"value\": " + valueOf(field, image)
            + ", \"bytes\": " + JsonText::ofBytes(field.ownedBytes(image)) + '}';
    }
    return fragment + '}';
}

}  // namespace GroupFragment
