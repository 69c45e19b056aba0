#pragma once

#include "FieldCaptions.h"
#include "ParamRecord.h"

#include <array>

// The captions of the parameter page, one entry per ParamRecord::Group, and the label and unit of
// the forward-standby adjustment. The page's layout holds the same texts.
namespace ParamFields {

// clang-format off
inline constexpr std::array<RadioGroupCaptions, ParamRecord::kGroupCount> kGroups{{
    {"自動正転待機切り換え",          {{{"radio", 1049, "なし(&Y)"}, {"radio", 1013, "あり(&N)"}}}, 2},
    {"[FEED]キー機能",                {{{"radio", 1067, "フィード(&O)"}, {"radio", 1019, "プリント(&L)"}}}, 2},
    {"電源投入時の自動断線チェック",  {{{"radio", 1069, "なし(&D)"}, {"radio", 1021, "あり(&G)"}}}, 2},
    {"セントロニクスタイミング",      {{{"radio", 1070, "TYPE1(&1)"}, {"radio", 1025, "TYPE2(&2)"}}}, 2},
    {"ｎInit信号ON時のリセット処理",  {{{"radio", 1017, "なし(&Q)"}, {"radio", 1237, "あり(&R)"}}}, 2},
    {"リボンニアエンド検出",          {{{"radio", 1024, "リボンエンド検出なし(&0)"},
                                        {"radio", 1235, "残り30mでリボンニアエンド(&3)"},
                                        {"radio", 1236, "残り70mでリボンニアエンド(&7)"}}}, 3},
    {"プラグ＆プレイ動作",            {{{"radio", 1014, "なし(&K)"}, {"radio", 1015, "あり(&P)"}}}, 2},
    {"ラベルエンド／リボンエラー処理", {{{"radio", 1018, "印刷途中で停止(&Z)"}, {"radio", 1023, "極力印刷終了後に停止(&X)"}}}, 2},
    {"プレハクリ処理",                {{{"radio", 1020, "なし(&C)"}, {"radio", 1022, "あり(&V)"}}}, 2},
    {"バックフィード速度",            {{{"radio", 1009, "3ips(&B)"}, {"radio", 1026, "2ips(&J)"}}}, 2},
    {"カット速度",                    {{{"radio", 1071, "標準モード(&4)"}, {"radio", 1027, "高速モード(&5)"}}}, 2},
}};
// clang-format on

constexpr const RadioGroupCaptions &captionsOf(ParamRecord::Group group)
{
    return kGroups[static_cast<std::size_t>(group)];
}

inline constexpr LabelCaption kAdjustment{"正転待機位置微調(&T)", {"edit", 1242, {}}};
inline constexpr std::string_view kAdjustmentUnit = "mm";

}  // namespace ParamFields
