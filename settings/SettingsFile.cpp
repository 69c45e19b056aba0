#include "SettingsFile.h"

#include <array>
#include <cerrno>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SettingsFile {

std::optional<SettingsImage> parse(std::string_view bytes)
{
    if (bytes.size() < kFileSize || bytes.substr(0, kHeaderSize) != kHeader)
        return std::nullopt;
    SettingsImage::Bytes image{};
    bytes.substr(kHeaderSize, SettingsImage::kSize).copy(image.data(), image.size());
    return SettingsImage(image);
}

std::optional<SettingsImage> read(const std::filesystem::path &path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::array<char, kFileSize> buffer{};
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const auto count = static_cast<std::size_t>(in.gcount());
    return parse(std::string_view(buffer.data(), count));
}

namespace {

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    // Closes now and tells whether the close succeeded (a late write error shows up here).
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

WriteResult write(const std::filesystem::path &path, const SettingsImage &image)
{
    FileDescriptor file(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
    if (file.get() < 0)
        return (errno == EACCES || errno == EPERM) ? WriteResult::AccessDenied : WriteResult::OpenFailed;

    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return WriteResult::OpenFailed;

    const bool written = writeAll(file.get(), kHeader)
        && writeAll(file.get(), std::string_view(image.data(), image.size()));
    const bool closed = file.close();
    return written && closed ? WriteResult::Written : WriteResult::WriteFailed;
}

}  // namespace SettingsFile
