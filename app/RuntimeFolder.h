#pragma once

#include <filesystem>
#include <vector>

// The folders that may hold this user's instance lock and activation socket, best first: the
// session's runtime folder ($XDG_RUNTIME_DIR), then "sbq740-<uid>" in the temporary folder
// ($TMPDIR or /tmp), made on first use. Only a folder that is this user's own, with no access for
// anyone else, counts; a link, or a folder someone else made, is refused.
namespace RuntimeFolder {

std::vector<std::filesystem::path> candidates();

// True when `folder` is a folder (not a link) owned by this user, with no access for others.
bool isPrivate(const std::filesystem::path &folder);

}  // namespace RuntimeFolder
