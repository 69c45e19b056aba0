#include "IssueRecord.h"

#include <algorithm>

namespace IssueRecord {
namespace {

constexpr char kDriverCode = 'C';
constexpr std::string_view kDriverText = "ドライバ設定優先";

constexpr Item kSensorItems[] = {
    {kDriverCode, kDriverText},
    {'0', "センサーなし"},
    {'1', "反射センサー"},
    {'2', "透過センサー"},
    {'3', "透過センサー(手動スレッショルド使用時)"},
    {'4', "反射センサー(手動スレッショルド使用時)"},
};
constexpr Item kMethodItems[] = {
    {kDriverCode, kDriverText},
    {'0', "直接感熱"},
    {'1', "熱転写"},
};
constexpr Item kSpeedItems[] = {
    {kDriverCode, kDriverText},
    {'2', "50.8mm/秒"},
    {'4', "101.6mm/秒"},
    {'6', "152.4mm/秒"},
};
constexpr Item kCutItems[] = {
    {kDriverCode, kDriverText},
    {'0', "なし"},
    {'1', "あり"},
};
constexpr Item kTagRotationItems[] = {
    {kDriverCode, kDriverText},
    {'0', "180°回転印刷"},
    {'1', "通常印刷"},
    {'2', "180°回転 + ミラー印刷"},
    {'3', "通常 + ミラー印刷"},
};
constexpr Item kStatusReplyItems[] = {
    {'1', "あり"},
    {'0', "なし"},
};

// The status auto-response has no driver choice: anything but "off" reads as "on".
constexpr Item kStatusOn = kStatusReplyItems[0];

Item fallback(Combo combo)
{
    return combo == Combo::StatusReply ? kStatusOn : Item{kDriverCode, kDriverText};
}

}  // namespace

std::span<const Item> ListItems(Combo combo)
{
    switch (combo) {
    case Combo::Sensor: return kSensorItems;
    case Combo::Method: return kMethodItems;
    case Combo::Speed: return kSpeedItems;
    case Combo::Cut: return kCutItems;
    case Combo::TagRotation: return kTagRotationItems;
    case Combo::StatusReply: return kStatusReplyItems;
    }
    return {};
}

std::size_t CodeOffset(Combo combo)
{
    return kStopModeOffset + 2 + 2 * static_cast<std::size_t>(combo);
}

int ReadStopMode(const SettingsImage &image)
{
    return image[kStopModeOffset] - '0';
}

void WriteStopMode(SettingsImage &image, int mode)
{
    image[kStopModeOffset] = static_cast<char>('0' + mode);
}

std::string_view ReadText(const SettingsImage &image, Combo combo)
{
    const char code = image[CodeOffset(combo)];
    const auto items = ListItems(combo);
    const auto found = std::ranges::find(items, code, &Item::code);
    return found != items.end() ? found->text : fallback(combo).text;
}

void WriteText(SettingsImage &image, Combo combo, std::string_view text)
{
    const auto items = ListItems(combo);
    const auto found = std::ranges::find(items, text, &Item::text);
    image[CodeOffset(combo)] = found != items.end() ? found->code : fallback(combo).code;
}

}  // namespace IssueRecord
