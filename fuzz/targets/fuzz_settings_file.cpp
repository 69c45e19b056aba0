// Settings files and the automatic "setting" file: any bytes, from memory and from disk.
#include "FuzzSupport.h"
#include "settings/AutoSettings.h"
#include "settings/SettingsFile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace FuzzSupport;
namespace fs = std::filesystem;

namespace {

// A folder of this run's own, removed when the run ends. On a memory file system: rewriting a
// file on ext4 flushes it on close, a hundred times slower.
class Folder
{
public:
    Folder()
    {
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (base / "sbq-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            FuzzSupport::fail("no temporary folder");
        m_path = pattern;
    }
    ~Folder()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;
    const fs::path &path() const { return m_path; }

private:
    fs::path m_path;
};

const fs::path &folder()
{
    static const Folder made;
    return made.path();
}

void writeFile(const fs::path &path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool isSettingsFile(std::string_view bytes)
{
    return bytes.size() >= SettingsFile::kFileSize && bytes.substr(0, SettingsFile::kHeaderSize) == SettingsFile::kHeader;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes = textOf(data, size);

    // From memory: exactly the header and 260 bytes behind it, or nothing.
    const auto parsed = SettingsFile::parse(bytes);
    require(parsed.has_value() == isSettingsFile(bytes), "parse accepted or refused the wrong input");
    if (parsed)
        require(std::string_view(parsed->data(), parsed->size()) == bytes.substr(SettingsFile::kHeaderSize, SettingsImage::kSize),
                "parse did not take the image bytes as they stand");

    // From disk, as at start-up: the file's image or the factory image.
    writeFile(AutoSettings::path(folder()), bytes);
    const SettingsImage read = AutoSettings::read(folder());
    require(read == parsed.value_or(SettingsImage::factory()), "\"setting\" read differs from the parse");

    // Writing it back keeps everything beyond the 282nd byte and reads back the same image.
    require(AutoSettings::write(folder(), read).written, "\"setting\" could not be written");
    const std::string written = readFile(AutoSettings::path(folder()));
    require(written.size() == std::max(bytes.size(), SettingsFile::kFileSize), "the write changed the file's length");
    if (bytes.size() > SettingsFile::kFileSize)
        require(std::string_view(written).substr(SettingsFile::kFileSize) == bytes.substr(SettingsFile::kFileSize),
                "the write lost the bytes beyond the image");
    require(AutoSettings::read(folder()) == read, "\"setting\" did not read back what was written");
    return 0;
}
