#pragma once

#include "settings/SettingsImage.h"

#include <filesystem>
#include <string>

// Real files for the settings-file tests: raw bytes in and out, and ways to make a path refuse
// writing even to root.
namespace FileFixtures {

void writeBytes(const std::filesystem::path &path, const std::string &bytes);
std::string readBytes(const std::filesystem::path &path);

// Header plus image, the 282 bytes the save command writes.
std::string settingsFileBytes(const SettingsImage &image);

// A factory image with a changed extended record and input-type byte, so that a round trip that
// dropped either would show.
SettingsImage unusualImage();

bool runningAsRoot();

// Makes a file or folder refuse writing for as long as the object lives: by taking the write
// permission away, or for root (whom permissions don't bind) by marking it immutable. ok() is
// false where neither is possible (root without the right to set the flag, or a file system
// without it).
class WriteRefusal
{
public:
    explicit WriteRefusal(std::filesystem::path path);
    WriteRefusal(const WriteRefusal &) = delete;
    WriteRefusal &operator=(const WriteRefusal &) = delete;
    ~WriteRefusal();
    bool ok() const { return m_set; }

private:
    bool setImmutable(bool immutable) const;
    bool setWritable(bool writable) const;
    bool refuse(bool refused) const;

    std::filesystem::path m_path;
    bool m_set = false;
};

}  // namespace FileFixtures
