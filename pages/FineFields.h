#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

// The ten rows of the fine-adjustment page and where each keeps its value in the fine-adjustment
// record ("\eZ2;2,...", positions counted from its ESC). One table drives the page's controls,
// its edit filters, its spins and the record codec.

// How a spin step is shown: position x 0.1 as "%0.1f", or the position itself as "%d".
enum class FineStep { Tenth, Whole };

// How the value sits in the record.
enum class FineCoding {
    Millimetres,  // direction character, then digits with an implied point before the last one
    Steps,        // sign character, then a two-digit magnitude
    RibbonSteps,  // as Steps, but the sign is always "-"
    Volts,        // two digits, units and tenths, no sign
};

// A drop-down list that gives a millimetre value its direction: item 0 is written "+", item 1 "-".
struct FineDirection
{
    int listId;
    std::string_view plusItem;
    std::string_view minusItem;
};

// Record positions of one value: the sign (or direction) character, if any, and the digit run.
struct FinePositions
{
    std::optional<std::size_t> sign;
    std::size_t firstDigit;
    std::size_t lastDigit;

    constexpr std::size_t digitCount() const { return lastDigit - firstDigit + 1; }
};

struct FineField
{
    std::string_view label;
    std::optional<FineDirection> direction;
    int editId;
    int spinId;
    int spinLower;
    int spinUpper;
    std::string_view unit;
    FineStep step;
    std::size_t longestText;
    std::string_view upperText;
    std::string_view lowerText;
    FineCoding coding;
    FinePositions positions;
};

namespace FineFields {

inline constexpr FineDirection kRearForward1074{1074, "後方", "前方"};
inline constexpr FineDirection kRearForward1075{1075, "後方", "前方"};
inline constexpr FineDirection kRearForward1076{1076, "後方", "前方"};
inline constexpr FineDirection kRightLeft1078{1078, "右側", "左側"};

using enum FineStep;
using enum FineCoding;

// clang-format off
inline constexpr std::array<FineField, 10> kRows{{
    // label                                   direction         edit  spin  lower upper unit      step   long upper   lower  coding       positions
    {"フィード量微調(&N)",                      kRearForward1074, 1243, 1244,   0, 500, "mm",      Tenth, 5, "50.0", "0.0", Millimetres, {6, 7, 9}},
    {"カット（ハクリ）位置微調(&C)",            kRearForward1075, 1062, 1056,   0, 500, "mm",      Tenth, 5, "50.0", "0.0", Millimetres, {10, 11, 13}},
    {"バックフィード量微調(&B)",                kRearForward1076, 1063, 1057,   0,  95, "mm",      Tenth, 4, "9.5",  "0.0", Millimetres, {14, 15, 16}},
    {"X座標微調(&X)",                           kRightLeft1078,   1064, 1058,   0, 995, "mm",      Tenth, 5, "99.5", "0.0", Millimetres, {17, 18, 20}},
    {"印刷濃度微調(転写モード)(&1)",            std::nullopt,     1065, 1059, -10,  10, "ステップ", Whole, 3, "10",   "-10", Steps,       {21, 22, 23}},
    {"印刷濃度微調(発色モード)(&2)",            std::nullopt,     1073, 1061, -10,  10, "ステップ", Whole, 3, "10",   "-10", Steps,       {24, 25, 26}},
    {"リボン巻取りモータ電圧微調(&R)",          std::nullopt,     1066, 1060, -15,   0, "ステップ", Whole, 3, "00",   "-15", RibbonSteps, {27, 28, 29}},
    {"リボンバックテンションモータ電圧微調(&V)", std::nullopt,     1067, 1068, -15,   0, "ステップ", Whole, 3, "00",   "-15", RibbonSteps, {30, 31, 32}},
    {"反射センサー手動スレッショルド(&E)",      std::nullopt,     1069, 1070,   0,  40, "V",       Tenth, 3, "4.0",  "0.0", Volts,       {std::nullopt, 33, 34}},
    {"透過センサー手動スレッショルド(&P)",      std::nullopt,     1071, 1072,   0,  40, "V",       Tenth, 3, "4.0",  "0.0", Volts,       {std::nullopt, 35, 36}},
}};
// clang-format on

inline constexpr std::size_t kCount = kRows.size();

// The span of the record that the page owns, and the record's whole length.
inline constexpr std::size_t kFirstOwned = 6;
inline constexpr std::size_t kLastOwned = 36;
inline constexpr std::size_t kRecordLength = 38;

}  // namespace FineFields
