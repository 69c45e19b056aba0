#pragma once

#include "SettingsImage.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>

// The settings file layout shared by the automatic "setting" file and the user's *.dat files:
// the 22-byte header ("QAV Quillotron 740Q2\n" and a NUL), then the 260 image bytes. Bytes after
// the 282nd are neither read nor written.
namespace SettingsFile {

inline constexpr std::string_view kHeader{"QAV Quillotron 740Q2\n\0", 22};
inline constexpr std::size_t kHeaderSize = kHeader.size();
inline constexpr std::size_t kFileSize = kHeaderSize + SettingsImage::kSize;  // 282

// The image a file's leading bytes hold, or nothing when they are not a settings file: a header
// that differs in any byte, or fewer than 260 image bytes behind it.
std::optional<SettingsImage> parse(std::string_view bytes);

// Reads the first 282 bytes of `path` and parses them. Missing, unreadable, not a regular file
// (a directory or a fifo) or not a settings file: nothing.
std::optional<SettingsImage> read(const std::filesystem::path &path);

enum class WriteResult {
    Written,
    AccessDenied,  // the file could not be opened: permission refused
    OpenFailed,    // the file could not be opened for another reason
    WriteFailed,   // opened, but the bytes did not all reach the file
};

// Writes header and image from the start of `path`, creating it when missing. An existing file
// is not truncated, so any bytes beyond the 282nd stay where they are.
WriteResult write(const std::filesystem::path &path, const SettingsImage &image);

}  // namespace SettingsFile
