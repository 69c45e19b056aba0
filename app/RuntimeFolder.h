#pragma once

#include <filesystem>

// The folders that may hold this user's instance lock and activation socket, best first. Only a
// folder that is this user's own, with no access for anyone else, counts; a link, or a folder
// someone else made, is refused (the result is then empty).
namespace RuntimeFolder {

// The session's runtime folder, $XDG_RUNTIME_DIR.
std::filesystem::path session();
// "sbq740-<uid>" in the temporary folder ($TMPDIR or /tmp), made when it is missing.
std::filesystem::path ownTemporary();

// True when `folder` is a folder (not a link) owned by this user, with no access for others.
bool isPrivate(const std::filesystem::path &folder);

}  // namespace RuntimeFolder
