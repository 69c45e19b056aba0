#include "cli/SettingsDiff.h"

#include "settings/ImageLayout.h"

#include <array>

namespace SettingsDiff {
namespace {

struct RecordExtent
{
    std::string_view name;
    std::size_t offset;  // the record's first byte; it runs up to the next record's first byte
};

constexpr std::array<RecordExtent, 10> kRecords{{
    {"parameter record", ImageLayout::kParamRecord},
    {"fine-adjustment record", ImageLayout::kFineRecord},
    {"IP address record", ImageLayout::kIpRecord},
    {"gateway record", ImageLayout::kGatewayRecord},
    {"subnet mask record", ImageLayout::kSubnetRecord},
    {"socket port record", ImageLayout::kPortRecord},
    {"DHCP client ID record", ImageLayout::kClientIdRecord},
    {"issue-control record", ImageLayout::kIssueRecord},
    {"extended record", ImageLayout::kExtendedRecord},
    {"input-type byte", ImageLayout::kInputTypeByte},
}};

std::string_view recordAt(std::size_t offset)
{
    std::string_view name = kRecords.front().name;
    for (const RecordExtent &record : kRecords) {
        if (record.offset <= offset)
            name = record.name;
    }
    return name;
}

// Marks the bytes every shown field reads.
std::array<bool, SettingsImage::kSize> shownBytes(const std::vector<ShownSettings::Page> &pages)
{
    std::array<bool, SettingsImage::kSize> shown{};
    for (const ShownSettings::Page &page : pages) {
        for (const ShownSettings::Field &field : page.fields) {
            for (const ShownSettings::ImageSpan &span : field.sources) {
                for (std::size_t i = 0; i < span.length; ++i)
                    shown[span.offset + i] = true;
            }
        }
    }
    return shown;
}

std::vector<UnshownChange> unshownChanges(const SettingsImage &before, const SettingsImage &after,
                                          const std::array<bool, SettingsImage::kSize> &shown)
{
    std::vector<UnshownChange> changes;
    for (std::size_t offset = 0; offset < SettingsImage::kSize; ++offset) {
        if (shown[offset] || before[offset] == after[offset])
            continue;
        const std::string_view record = recordAt(offset);
        if (changes.empty() || changes.back().record != record)
            changes.push_back({record, {}});
        changes.back().offsets.push_back(offset);
    }
    return changes;
}

}  // namespace

Difference compare(const SettingsImage &before, const SettingsImage &after)
{
    const std::vector<ShownSettings::Page> pagesBefore = ShownSettings::of(before);
    const std::vector<ShownSettings::Page> pagesAfter = ShownSettings::of(after);
    Difference difference;
    for (std::size_t p = 0; p < pagesBefore.size(); ++p) {
        const auto &fieldsBefore = pagesBefore[p].fields;
        for (std::size_t f = 0; f < fieldsBefore.size(); ++f) {
            if (ShownSettings::sourcesDiffer(fieldsBefore[f], before, after))
                difference.fields.push_back({pagesBefore[p].title, fieldsBefore[f], pagesAfter[p].fields[f]});
        }
    }
    difference.unshown = unshownChanges(before, after, shownBytes(pagesBefore));
    return difference;
}

std::string offsetRuns(const std::vector<std::size_t> &offsets)
{
    std::string text;
    for (std::size_t i = 0; i < offsets.size();) {
        std::size_t last = i;
        while (last + 1 < offsets.size() && offsets[last + 1] == offsets[last] + 1)
            ++last;
        text += (text.empty() ? "" : ", ") + std::to_string(offsets[i]);
        if (last > i)
            text += '-' + std::to_string(offsets[last]);
        i = last + 1;
    }
    return text;
}

}  // namespace SettingsDiff
