#pragma once

#include "FieldCaptions.h"
#include "ImageLayout.h"

#include <array>
#include <cstddef>

// The captions of the IP address page. The page's layout holds the same texts.
namespace IpFields {

struct AddressField
{
    LabelCaption label;
    std::size_t record;  // ImageLayout offset of the address record the field shows
};

inline constexpr std::array<AddressField, 3> kAddresses{{
    {{"IPアドレス(&I)", {"ip", 1256, {}}}, ImageLayout::kIpRecord},
    {{"ゲートウェイ(&G)", {"ip", 1259, {}}}, ImageLayout::kGatewayRecord},
    {{"サブネットマスク(&S)", {"ip", 1258, {}}}, ImageLayout::kSubnetRecord},
}};

inline constexpr RadioGroupCaptions kSocket{
    "ソケット通信ポート設定", {{{"radio", 1263, "通信無効(&N)"}, {"radio", 1018, "通信有効(&Y)"}}}, 2};
inline constexpr LabelCaption kPort{"ポート番号(&P)", {"edit", 1262, {}}};

inline constexpr RadioGroupCaptions kDhcp{
    "DHCP機能設定", {{{"radio", 1264, "DHCP機能無効(&E)"}, {"radio", 1019, "DHCP機能有効(&D)"}}}, 2};

// The client-ID group: the input type's buttons stand behind their own label inside the group.
inline constexpr RadioGroupCaptions kClientIdGroup{
    "DHCPクライアントID", {{{"radio", 1274, "ASCII(&A)"}, {"radio", 1266, "HEX(&X)"}}}, 2};
inline constexpr LabelCaption kInputType{"入力タイプ(&T)", {"radio", 1274, {}}};
inline constexpr LabelCaption kClientId{"クライアントID(&C)", {"edit", 1265, {}}};

}  // namespace IpFields
