#pragma once

#include "cli/ShownSettings.h"
#include "settings/SettingsImage.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What differs between two settings images: the fields whose source bytes differ, page by page,
// and the differing bytes that no page shows (the extended record, the parts of the parameter
// record no page edits, a damaged separator), which still reach the printer with their group.
namespace SettingsDiff {

struct FieldChange
{
    std::string page;
    ShownSettings::Field before;
    ShownSettings::Field after;
};

struct UnshownChange
{
    std::string_view record;            // the record the bytes belong to
    std::vector<std::size_t> offsets;   // image offsets, ascending
};

struct Difference
{
    std::vector<FieldChange> fields;
    std::vector<UnshownChange> unshown;

    bool empty() const { return fields.empty() && unshown.empty(); }
};

Difference compare(const SettingsImage &before, const SettingsImage &after);

// "240-242, 250": the offsets as runs of consecutive numbers.
std::string offsetRuns(const std::vector<std::size_t> &offsets);

}  // namespace SettingsDiff
