#include "FileFixtures.h"

#include "settings/ImageLayout.h"
#include "settings/SettingsFile.h"

#include <fstream>
#include <iterator>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace FileFixtures {

void writeBytes(const std::filesystem::path &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readBytes(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string settingsFileBytes(const SettingsImage &image)
{
    return std::string(SettingsFile::kHeader) + std::string(image.data(), image.size());
}

SettingsImage unusualImage()
{
    SettingsImage image = SettingsImage::factory();
    image[ImageLayout::kExtendedRecord + 7] = '9';
    image[ImageLayout::kExtendedRecord + 20] = 'Q';
    image[ImageLayout::kInputTypeByte] = '1';
    return image;
}

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

WriteRefusal::WriteRefusal(std::filesystem::path path) : m_path(std::move(path))
{
    m_set = refuse(true);
}

WriteRefusal::~WriteRefusal()
{
    if (m_set)
        refuse(false);
}

bool WriteRefusal::refuse(bool refused) const
{
    return runningAsRoot() ? setImmutable(refused) : setWritable(!refused);
}

bool WriteRefusal::setWritable(bool writable) const
{
    namespace fs = std::filesystem;
    std::error_code error;
    const auto writeBits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(m_path, writeBits, writable ? fs::perm_options::add : fs::perm_options::remove, error);
    return !error;
}

bool WriteRefusal::setImmutable(bool immutable) const
{
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

}  // namespace FileFixtures
