#pragma once

#include "settings/FolderHandle.h"
#include "settings/SettingsFile.h"

#include <filesystem>
#include <string>
#include <variant>

// The folder and the name a write to a settings file's path replaces: the path itself, or where
// the links at it lead when they may be followed (SettingsFile::Links).
struct WriteTarget
{
    FolderHandle folder;
    std::string name;
};

// Permission refused (the file or its folder is not this user's to write, or is read-only).
bool isPermissionError(int error);
// What a failure to open or make something at the target comes to.
SettingsFile::WriteResult openFailure(int error);

// The target, or why nothing may be written there (a link that may not be followed, a missing
// folder, a name that names no file).
std::variant<WriteTarget, SettingsFile::WriteResult> findWriteTarget(const std::filesystem::path &path,
                                                                     SettingsFile::Links links);
