#pragma once

#include "fields/DecimalRule.h"
#include "fields/FieldCodec.h"

namespace Fields {

// A number in an edit box: the edit's decimal rule, and bytes from 0x80 up that an unedited
// field writes back as read (no number reader would read them back as they were).
class DecimalCodec : public FieldCodec
{
public:
    explicit DecimalCodec(const DecimalRule &rule) : m_rule(rule) {}

    std::optional<std::string> filter(std::string_view text, bool hasFocus) const override;
    // A decimal number, optionally signed ("12.3", "-5", ".5"); then the rule, as with the focus.
    Accepted accept(const Field &field, std::string_view typed, const SettingsImage &image) const override;
    bool keeps(const Loaded &loaded, const SettingsImage &image) const override;

private:
    DecimalRule m_rule;
};

// The forward-standby adjustment: sign, whole millimetres, tenths ("+25" shows 2.5, "-15" -1.5).
class AdjustmentCodec : public DecimalCodec
{
public:
    using DecimalCodec::DecimalCodec;

    FieldValue decode(const Field &field, const SettingsImage &image) const override;
    // The text's leading number rounded to tenths, halves away from zero; magnitudes from 10 on
    // are stored as 9.9, the largest the field holds.
    void encode(const Field &field, const FieldValue &value, SettingsImage &image) const override;
};

// Digits with an implied point before the last one, no sign of their own ("123" is 12.3). The
// millimetre values show the number read as "%0.1f"; the thresholds show their two characters
// as they stand. Encoded rounded to tenths and kept inside what the digits hold.
class TenthsCodec : public DecimalCodec
{
public:
    enum class Shown { Formatted, AsTheyStand };
    TenthsCodec(const DecimalRule &rule, Shown shown) : DecimalCodec(rule), m_shown(shown) {}

    FieldValue decode(const Field &field, const SettingsImage &image) const override;
    void encode(const Field &field, const FieldValue &value, SettingsImage &image) const override;

private:
    Shown m_shown;
};

// A sign and a two-digit magnitude in steps ("+05" is 5, "-03" -3). The ribbon voltages always
// write "-" and read the sign and digits together.
class StepsCodec : public DecimalCodec
{
public:
    enum class Sign { Follows, AlwaysMinus };
    StepsCodec(const DecimalRule &rule, Sign sign) : DecimalCodec(rule), m_sign(sign) {}

    FieldValue decode(const Field &field, const SettingsImage &image) const override;
    void encode(const Field &field, const FieldValue &value, SettingsImage &image) const override;

private:
    Sign m_sign;
};

}  // namespace Fields
