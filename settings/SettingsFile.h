#pragma once

#include "settings/SettingsImage.h"

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

// As read(), telling a damaged file apart: one that is there and could be read, but holds no
// settings file (cut short, or other bytes).
struct ReadResult
{
    std::optional<SettingsImage> image;
    bool damaged = false;
};
ReadResult readTellingDamage(const std::filesystem::path &path);

enum class WriteResult {
    Written,
    AccessDenied,  // permission refused: the file, or its folder, is not this user's to write
    OpenFailed,    // nothing could be started for another reason (no such folder, not a file)
    WriteFailed,   // the bytes did not all reach the disk; the old file stands as it was
};

// What a write does with a symbolic link at the path it is given.
enum class Links {
    // A file the user named: a link to a file of this user's own, in a folder of this user's
    // own, is followed (through further links), so that a file shared through links stays
    // shared. Any other link is refused: it may have been put there by someone else.
    FollowOwn,
    // The program's own file ("setting"): the link itself is replaced, never followed.
    Replace,
};

// Replaces the file at `path` with header and image as a whole: a new file in the same folder
// takes the bytes, any bytes of the old file beyond the 282nd, and the old file's owner and
// permissions, goes to the disk, and is then renamed over the old one. A crash or a failure at
// any point leaves the old file whole; a failure leaves no new file behind. A target that is no
// regular file (a directory, a device) is refused.
WriteResult write(const std::filesystem::path &path, const SettingsImage &image, Links links = Links::FollowOwn);

}  // namespace SettingsFile
