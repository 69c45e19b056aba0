#pragma once

#include "cli/SettingsText.h"
#include "fields/FieldTable.h"
#include "settings/ImageLayout.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What reading a settings document, writing one and setting values share: the fields' values as
// text and the builder that takes them, one field at a time, with the pages' rules.
namespace SettingsText {

inline constexpr std::string_view kAdjustmentKey = "param.forward_standby_adjustment";
inline constexpr std::size_t kExtendedLength = ImageLayout::kInputTypeByte - 1 - ImageLayout::kExtendedRecord;  // 27

// The field that owns each image byte; nothing for bytes no page writes.
std::array<const Fields::Field *, SettingsImage::kSize> owners();

bool inExtendedRecord(std::size_t offset);

// A choice by its name; any other value as its text. Nothing for a choice none is chosen.
std::optional<std::string> valueText(const Fields::Field &field, const Fields::FieldValue &value);

// A value for one field, as a document or a command line gives it.
struct Given
{
    const Fields::Field *field;
    std::optional<std::string> value;  // nothing: null, none chosen
    std::optional<std::string> bytes;  // the field's bytes as a file held them
};

// Settings built over a base image, one field at a time, with the pages' rules.
class Builder
{
public:
    explicit Builder(const SettingsImage &base) : m_image(base) {}

    void refuse(std::string where, std::optional<std::string> value, std::string reason);
    void putBytes(std::size_t offset, std::string_view bytes);

    // The fields in the order the pages store them, so a field that depends on another (the
    // client ID on its input type) sees that one's new value.
    void apply(std::vector<Given> given);

    Built finish();

    // The image as far as it is built, refused fields aside.
    const SettingsImage &current() const { return m_image; }

private:
    void applyOne(const Given &given);
    void checkAdjustment();

    SettingsImage m_image;
    Built m_built;
    std::optional<std::string> m_adjustmentTyped;
};

}  // namespace SettingsText
