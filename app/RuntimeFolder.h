#pragma once

#include <filesystem>

// The folders that may hold this user's instance lock and activation socket, best first. Only a
// folder that is this user's own, with no access for anyone else, counts; a link, or a folder
// someone else made, is refused (the result is then empty).
namespace RuntimeFolder {

// The session's runtime folder, $XDG_RUNTIME_DIR.
std::filesystem::path session();
// "sbq740" in this user's cache folder ($XDG_CACHE_HOME or ~/.cache, which must be this user's),
// made when it is missing. No other user can make it first.
std::filesystem::path ownCache();
// "sbq740-<uid>" in the shared temporary folder ($TMPDIR or /tmp), made when it is missing:
// the last resort, where another user may have put something first.
std::filesystem::path ownTemporary();

// True when `folder` is a folder (not a link) owned by this user, with no access for others.
bool isPrivate(const std::filesystem::path &folder);

}  // namespace RuntimeFolder
