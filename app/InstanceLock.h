#pragma once

#include "settings/FileDescriptor.h"

#include <filesystem>

// The lock that makes one start the first instance: a lock of the system's own on a file, held
// for as long as the process runs and gone with it, whatever the file holds. A file left behind
// by a crash, an empty one, or one naming another host or a dead process is simply locked again;
// one that is not this user's regular file (another user's, a link, a folder) is replaced.
class InstanceLock
{
public:
    enum class State {
        Taken,          // this process holds the lock
        HeldElsewhere,  // a running process holds it
        Failed,         // no lock can be kept at this path
    };

    InstanceLock() = default;
    explicit InstanceLock(const std::filesystem::path &path);

    State state() const { return m_state; }

private:
    FileDescriptor m_file;
    State m_state = State::Failed;
};
