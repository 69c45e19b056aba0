#include "app/ActivationSocket.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace ActivationSocket {

namespace {

constexpr int kBacklog = 16;
constexpr auto kRetryPause = std::chrono::milliseconds(20);

bool toAddress(const std::filesystem::path &path, sockaddr_un &address)
{
    address = {};
    address.sun_family = AF_UNIX;
    const std::string &bytes = path.native();
    if (bytes.size() >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, bytes.data(), bytes.size());
    return true;
}

std::string hashedName(std::string_view name)
{
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const char c : name)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

// Waits, until `deadline` at the latest, until `fd` is ready for `events`.
bool waitFor(int fd, short events, std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
        if (ready > 0)
            return (entry.revents & events) != 0;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

}  // namespace

std::filesystem::path path(const std::filesystem::path &folder, std::string_view name)
{
    sockaddr_un address{};
    std::filesystem::path full = folder / (std::string(name) + ".socket");
    if (!toAddress(full, address))
        full = folder / (hashedName(name) + ".socket");
    return full;
}

FileDescriptor listen(const std::filesystem::path &path)
{
    sockaddr_un address{};
    if (!toAddress(path, address))
        return {};
    FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!socket.isOpen())
        return {};
    // A socket left behind, or anything else there, goes: this process holds the lock. The
    // folder admits this user alone.
    ::unlink(path.c_str());
    if (::bind(socket.get(), reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0
        || ::listen(socket.get(), kBacklog) != 0)
        return {};
    return socket;
}

bool send(const std::filesystem::path &path, std::string_view line, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    sockaddr_un address{};
    if (!toAddress(path, address))
        return false;
    const FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!socket.isOpen())
        return false;
    while (::connect(socket.get(), reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        // A full backlog: the listener is there but busy; anything else: nobody listens.
        if (errno != EAGAIN && errno != EINTR)
            return false;
        if (std::chrono::steady_clock::now() + kRetryPause >= deadline)
            return false;
        std::this_thread::sleep_for(kRetryPause);
    }
    while (!line.empty()) {
        const ssize_t written = ::send(socket.get(), line.data(), line.size(), MSG_NOSIGNAL);
        if (written > 0) {
            line.remove_prefix(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno == EAGAIN && waitFor(socket.get(), POLLOUT, deadline))
            continue;
        return false;
    }
    return true;
}

}  // namespace ActivationSocket

