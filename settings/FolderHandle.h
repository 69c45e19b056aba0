#pragma once

#include "settings/FileDescriptor.h"

#include <sys/types.h>

#include <filesystem>

// An open folder that files are opened, created and renamed in by name. The folder is opened one
// name at a time, so a path of any length works (a single system call takes at most 4095 bytes),
// and the path's bytes are used as they stand, whatever their encoding.
class FolderHandle
{
public:
    FolderHandle() = default;  // none: not open
    // Opens an existing folder; an empty path is the current folder.
    explicit FolderHandle(const std::filesystem::path &folder);
    // Opens `folder`, first creating each missing folder on the way with `mode`.
    static FolderHandle create(const std::filesystem::path &folder, mode_t mode);

    bool isOpen() const { return m_fd.isOpen(); }
    int error() const { return m_error; }  // errno of the failed step when not open
    int fd() const { return m_fd.get(); }

    // Flushes the folder's entries (after a rename) to the disk; does nothing where the folder
    // could only be opened for lookups.
    void sync() const;

private:
    void open(const std::filesystem::path &folder, bool createMissing, mode_t mode);

    FileDescriptor m_fd;
    int m_error = 0;
};
