#pragma once

#include "settings/FileDescriptor.h"

#include <chrono>
#include <filesystem>
#include <string_view>

// The per-user socket a first instance listens on and a later start hands its request to, in
// plain system calls: the later start needs no Qt application, and the first listens from the
// moment it holds the lock, before its window exists. Only the lock's holder binds the socket.
namespace ActivationSocket {

// A socket file of `name` in `folder`; a hashed name where the full path would be too long for
// a socket address.
std::filesystem::path path(const std::filesystem::path &folder, std::string_view name);

// Replaces whatever stands at `path` with a listening socket for this user alone. Closed when
// that fails.
FileDescriptor listen(const std::filesystem::path &path);

// True when a listener took the connection and the request line; false when nobody listens
// there (no socket, one left behind by a crash) or the line could not be handed over within
// `timeout`.
bool send(const std::filesystem::path &path, std::string_view line, std::chrono::milliseconds timeout);

}  // namespace ActivationSocket
