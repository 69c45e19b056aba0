#pragma once

#include "FieldCaptions.h"
#include "IssueRecord.h"

#include <array>

// The captions of the issue-control page; the items of its lists are IssueRecord::ListItems. The
// page's layout holds the same texts.
namespace IssueFields {

inline constexpr RadioGroupCaptions kStopMode{
    "停止位置制御", {{{"radio", 1290, "モード1(&1)"}, {"radio", 1237, "モード2(&2)"}}}, 2};

// One label per list, in the order of IssueRecord::kCombos.
inline constexpr std::array<LabelCaption, std::size(IssueRecord::kCombos)> kComboLabels{{
    {"センサー(&S)", {"combo", 1284, {}}},
    {"印刷方法(&D)", {"combo", 1286, {}}},
    {"印刷速度(&Q)", {"combo", 1287, {}}},
    {"カット(&C)", {"combo", 1291, {}}},
    {"タグローテーション(&T)", {"combo", 1288, {}}},
    {"ステータス自動応答(&R)", {"combo", 1296, {}}},
}};

constexpr const LabelCaption &labelOf(IssueRecord::Combo combo)
{
    return kComboLabels[static_cast<std::size_t>(combo)];
}

}  // namespace IssueFields
