#pragma once

#include <concepts>
#include <filesystem>

// Where the automatic settings file "setting" is read from and written to. Two places hold one:
// the program's own folder (a portable copy, or a file shipped beside an installed program) and
// the user's configuration folder. Start-up reads the user's file when there is one, else the one
// beside the program. The exit writes beside the program when that folder and file are this
// user's to write and the user has no file of their own, else the user's file; so the next start
// always reads what the last exit wrote. Paths are the system's bytes as they stand.
class SettingsLocation
{
public:
    // One folder for both (a test, or a copy that keeps everything in one place). Not explicit:
    // wherever a folder is given, it is the location.
    template <typename Folder>
        requires std::constructible_from<std::filesystem::path, const Folder &>
    SettingsLocation(const Folder &folder)
        : SettingsLocation(std::filesystem::path(folder), std::filesystem::path(folder))
    {
    }
    // `besideProgramWritable` false: the program is an installed one, whose folder is the
    // system's (root may write there, but must not leave its settings among the programs); a
    // file shipped there is still read.
    SettingsLocation(std::filesystem::path programFolder, std::filesystem::path userFolder,
                     bool besideProgramWritable = true);

    std::filesystem::path readPath() const;
    std::filesystem::path writePath() const;  // decided now, from what the folders allow
    // The folder "setting" is written to now, the user's folder made first (with no access for
    // others) when that is where it goes and it is missing. The settings-file dialogs start here.
    std::filesystem::path prepareWriteFolder() const;

    const std::filesystem::path &programFolder() const { return m_programFolder; }
    const std::filesystem::path &userFolder() const { return m_userFolder; }

private:
    std::filesystem::path m_programFolder;
    std::filesystem::path m_userFolder;
    bool m_besideProgramWritable;
};
