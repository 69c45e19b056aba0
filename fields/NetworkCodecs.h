#pragma once

#include "fields/FieldCodec.h"

#include <array>
#include <string>
#include <string_view>

namespace Fields {

// The four parts of an address field.
using Octets = std::array<int, 4>;
inline constexpr int kMaxOctet = 255;

// One part of an address field: its leading digits, blank reads 0, above 255 reads 255.
int octetFromText(std::string_view part);

// "192.168.10.20" for the four parts, and back: a blank part reads 0, one above 255 reads 255.
std::string addressText(const Octets &octets);
Octets addressOctets(std::string_view text);

// An address record's four three-digit octets, one owned span each. Each octet is its digits'
// value, kept within 0-255 so that the address field can show it; written with leading zeros.
class AddressCodec : public FieldCodec
{
public:
    FieldValue decode(const Field &field, const SettingsImage &image) const override;
    void encode(const Field &field, const FieldValue &value, SettingsImage &image) const override;
    // Four parts of one to three digits each, none above 255.
    Accepted accept(const Field &field, std::string_view typed, const SettingsImage &image) const override;
};

// The socket port's five digits. Shown as their value without leading zeros (non-digits weigh
// their distance from '0'; below zero shows as 0); stored as at most the first five characters
// of the box, right-aligned with '0' fill ("80" -> "00080"). The box's rule: longer than five
// characters gives "65535", and so does a value above 65535 while the box has the focus.
class PortCodec : public FieldCodec
{
public:
    FieldValue decode(const Field &field, const SettingsImage &image) const override;
    void encode(const Field &field, const FieldValue &value, SettingsImage &image) const override;
    std::optional<std::string> filter(std::string_view text, bool hasFocus) const override;
    // Digits only, as the box takes them; then the box's rule.
    Accepted accept(const Field &field, std::string_view typed, const SettingsImage &image) const override;
    bool keeps(const Loaded &loaded, const SettingsImage &image) const override;
};

// The DHCP client ID: 32 hex digits in the image, shown as those digits or as the ID's own
// bytes, as the input-type byte (the field's one read span) says (see ClientIdText).
class ClientIdCodec : public FieldCodec
{
public:
    FieldValue decode(const Field &field, const SettingsImage &image) const override;
    void encode(const Field &field, const FieldValue &value, SettingsImage &image) const override;
    // HEX: up to 32 hex digits. ASCII: text that CP932 writes in at most 16 bytes.
    Accepted accept(const Field &field, std::string_view typed, const SettingsImage &image) const override;
    // The ASCII view drops spaces and the HEX view changes case: an unedited box, in the input
    // type it was loaded in, stores the field as it was read.
    bool keeps(const Loaded &loaded, const SettingsImage &image) const override;

    static bool holdsHex(const Field &field, const SettingsImage &image);
};

}  // namespace Fields
