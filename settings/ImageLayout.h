#pragma once

#include <array>
#include <cstddef>

// Where each record of the 260-byte settings image starts. Positions inside a record count from
// the record's ESC byte; image offset = record offset + position.
namespace ImageLayout {

inline constexpr std::size_t kImageSize = 260;

inline constexpr std::size_t kParamRecord = 0;       // "\eZ2;1,...", 48 chars + NUL
inline constexpr std::size_t kFineRecord = 49;       // "\eZ2;2,...", 38 chars + NUL
inline constexpr std::size_t kIpRecord = 88;         // "\eIP;2,...", 22 chars + NUL
inline constexpr std::size_t kGatewayRecord = 111;   // "\eIP;3,...", 22 chars + NUL
inline constexpr std::size_t kSubnetRecord = 134;    // "\eIP;4,...", 22 chars + NUL
inline constexpr std::size_t kPortRecord = 157;      // "\eIS;1,...", 12 chars + NUL
inline constexpr std::size_t kClientIdRecord = 170;  // "\eIH;0,...", 39 chars + NUL
inline constexpr std::size_t kIssueRecord = 210;     // "\eZ2;3,...", 20 chars + NUL
inline constexpr std::size_t kExtendedRecord = 231;  // "\eZ2;3,...", 27 chars + NUL; no page owns it
inline constexpr std::size_t kInputTypeByte = 259;   // '0' ASCII / '1' HEX client-ID entry

// Every record in image order, and where the last one's NUL ends: a record runs from its ESC to
// the byte before the next one, and ends in LF and NUL.
inline constexpr std::array<std::size_t, 10> kRecordBounds{
    kParamRecord,  kFineRecord,     kIpRecord,    kGatewayRecord,   kSubnetRecord,
    kPortRecord,   kClientIdRecord, kIssueRecord, kExtendedRecord,  kInputTypeByte,
};

}  // namespace ImageLayout
