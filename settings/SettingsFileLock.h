#pragma once

#include "settings/FileDescriptor.h"
#include "settings/FolderHandle.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

// The right to change one settings file, held from before a program reads the file until it
// has replaced it, so that two programs changing the same file at once never lose one of the
// changes. Every write replaces the file by a rename, and a lock on the file would go with the
// file it replaces; so the lock is a lock of the system's own on a lock file beside it,
// ".NAME.lock", which no write touches. The holder removes the lock file when it is done; a
// program that gets the lock of a file that has meanwhile been removed tries again with the one
// that stands there now. Links to the file are followed as its writes follow them
// (SettingsFile::Links::FollowOwn), so every name of a file shares its lock.
class SettingsFileLock
{
public:
    enum class State {
        Held,
        Busy,         // another program held it for longer than the wait allowed
        Interrupted,  // the user asked to stop while waiting
        Unavailable,  // no lock can be kept beside the file; the write itself will tell why
    };

    static constexpr std::chrono::milliseconds kWait{10000};

    // Waits up to `wait` for the lock of the settings file at `path`, asking `stop` now and then
    // whether to give up.
    explicit SettingsFileLock(const std::filesystem::path &path, std::chrono::milliseconds wait = kWait,
                              const std::function<bool()> &stop = {});
    SettingsFileLock(const SettingsFileLock &) = delete;
    SettingsFileLock &operator=(const SettingsFileLock &) = delete;
    ~SettingsFileLock();  // removes the lock file and lets the lock go

    State state() const { return m_state; }

private:
    enum class Attempt { Held, Removed, Failed };
    Attempt lockOnce(std::chrono::steady_clock::time_point deadline, const std::function<bool()> &stop);

    FolderHandle m_folder;
    std::string m_name;
    FileDescriptor m_file;
    State m_state = State::Unavailable;
};
