#include "settings/AutoSettings.h"

#include "settings/FolderHandle.h"
#include "settings/SettingsFile.h"

#include <cerrno>
#include <string>

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace AutoSettings {

std::filesystem::path path(const std::filesystem::path &folder)
{
    return folder / "setting";
}

SettingsImage read(const SettingsLocation &location)
{
    return SettingsFile::read(location.readPath()).value_or(SettingsImage::factory());
}

namespace {

constexpr int kMostKept = 100;

// Renames `name` in `folder` to `newName` unless that name is taken.
bool renameToFreeName(const FolderHandle &folder, const std::string &name, const std::string &newName)
{
    if (::renameat2(folder.fd(), name.c_str(), folder.fd(), newName.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL)
        return false;
    // A file system that can't rename without replacing: a second name, then the first goes.
    if (::linkat(folder.fd(), name.c_str(), folder.fd(), newName.c_str(), 0) != 0)
        return false;
    ::unlinkat(folder.fd(), name.c_str(), 0);
    return true;
}

std::filesystem::path keepAside(const std::filesystem::path &file)
{
    const FolderHandle folder(file.parent_path());
    const std::string name = file.filename().native();
    for (int number = 1; folder.isOpen() && number <= kMostKept; ++number) {
        const std::string kept = name + ".damaged" + (number == 1 ? "" : "." + std::to_string(number));
        if (renameToFreeName(folder, name, kept)) {
            folder.sync();
            return file.parent_path() / kept;
        }
        if (errno != EEXIST)
            break;
    }
    return {};
}

}  // namespace

ReadOutcome readKeepingDamaged(const SettingsLocation &location)
{
    const std::filesystem::path file = location.readPath();
    const SettingsFile::ReadResult read = SettingsFile::readTellingDamage(file);
    ReadOutcome outcome{read.image.value_or(SettingsImage::factory()), {}, {}};
    if (read.damaged) {
        outcome.damaged = file;
        outcome.keptAs = keepAside(file);
    }
    return outcome;
}

WriteOutcome write(const SettingsLocation &location, const SettingsImage &image)
{
    WriteOutcome outcome{path(location.prepareWriteFolder()), false};
    outcome.written = SettingsFile::write(outcome.file, image, SettingsFile::Links::Replace) == SettingsFile::WriteResult::Written;
    return outcome;
}

}  // namespace AutoSettings
