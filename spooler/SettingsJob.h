#pragma once

#include "settings/SettingsImage.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The 260-byte raw job that carries one group of settings to the printer: the group's bytes
// copied unchanged from the image (each record with its NUL), the trailer "\eZ0\n", then NUL
// bytes up to 260. Nothing of the other groups goes along.
namespace SettingsJob {

inline constexpr std::size_t kSize = 260;
inline constexpr std::string_view kTrailer{"\x1bZ0\n", 4};

// The groups, in the order of the send-selection dialog's radio buttons.
enum class Group { Parameter = 0, FineAdjustment = 1, IpAddress = 2, IssueControl = 3 };
inline constexpr int kGroupCount = 4;

struct Span
{
    std::size_t offset;
    std::size_t length;
};

// Where a group lies in the settings image.
Span spanOf(Group group);

// True when every record of the group is still framed as the printer reads it: ESC first, LF
// last, NUL after it, and no control byte in between. A damaged settings file can bring such
// bytes into positions the pages write back as they read them; they must never reach a printer.
bool isFramed(const SettingsImage &image, Group group);

std::string build(const SettingsImage &image, Group group);

// The group a job built by build() carries, told by where its trailer lies; nothing for bytes
// that are no such job.
std::optional<Group> groupOf(std::string_view job);

}  // namespace SettingsJob
