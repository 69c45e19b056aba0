#pragma once

#include "settings/FileDescriptor.h"
#include "settings/FolderHandle.h"

#include <sys/types.h>

#include <string>

// The new file a write fills beside its target before renaming it over the target, named
// ".NAME.N.new" (N a random number). Its writer holds a lock of the system's own on it from
// before it has a name until it is renamed, and the system drops that lock when the writer
// dies: a new file nobody holds was left by a writer that was killed.
class NewFile
{
public:
    // Made in `folder` for the target `target`, for this writer alone to write. Not open when
    // it can't be made (errno tells why).
    NewFile(const FolderHandle &folder, const std::string &target, mode_t mode);
    NewFile(const NewFile &) = delete;
    NewFile &operator=(const NewFile &) = delete;
    ~NewFile();  // removes the file unless it replaced the target

    bool isOpen() const { return m_file.isOpen(); }
    int fd() const { return m_file.get(); }
    // Ends the writing; false when the bytes did not all arrive. The lock stays held.
    bool close() { return m_file.close(); }
    // Renames the file over the target; errno tells why not.
    bool replaceTarget();

    // Removes the new files of earlier writes to `target` that were killed before they ended:
    // regular files of this user's, named as this class names them, that nobody holds.
    static void removeLeftovers(const FolderHandle &folder, const std::string &target);

private:
    bool nameUnnamed(int unnamed);
    bool createNamed(mode_t mode);

    const FolderHandle &m_folder;
    std::string m_target;
    std::string m_name;
    FileDescriptor m_file;
    FileDescriptor m_lock;  // the same open file: the lock lasts until this closes
    bool m_replaced = false;
};
