#include "ledger/LedgerFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace LedgerFile {
namespace {

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string why(int error)
{
    return std::strerror(error);
}

// Makes the folders leading to `path` that are missing, readable by the user only.
void makeFolders(const std::string &path)
{
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0700);  // an existing folder is fine; open() tells the rest
}

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// True when the file's last byte is no LF: a line a writer did not finish.
bool endsCutShort(int fd)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size == 0)
        return false;
    char last = '\n';
    return ::pread(fd, &last, 1, status.st_size - 1) == 1 && last != '\n';
}

}  // namespace

std::string location()
{
    if (std::string chosen = environment("SBQ740_LEDGER"); !chosen.empty())
        return chosen;
    std::string state = environment("XDG_STATE_HOME");
    if (state.empty() || state.front() != '/') {  // a relative one is to be ignored
        const std::string home = environment("HOME");
        if (home.empty())
            return {};
        state = home + "/.local/state";
    }
    return state + "/sbq740/sent.jsonl";
}

std::optional<std::string> append(const std::string &path, const std::string &line)
{
    if (path.empty())
        return "no ledger file: neither SBQ740_LEDGER, XDG_STATE_HOME nor HOME is set";
    makeFolders(path);
    // Read too: the last byte tells whether the last line was finished.
    int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EACCES)  // a file the user may only write to
        fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    const Descriptor file(fd);
    if (file.get() < 0)
        return why(errno);
    while (::flock(file.get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            return why(errno);
    }
    const std::string whole = (endsCutShort(file.get()) ? "\n" : "") + line + '\n';
    ssize_t written = -1;
    do {
        written = ::write(file.get(), whole.data(), whole.size());
    } while (written < 0 && errno == EINTR);
    if (written < 0)
        return why(errno);
    if (static_cast<std::size_t>(written) != whole.size())
        return "only part of the line was written";
    return std::nullopt;  // the lock goes with the descriptor
}

Contents read(const std::string &path)
{
    Contents contents;
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        if (errno == ENOENT)
            contents.missing = true;
        else
            contents.error = why(errno);
        return contents;
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            contents.error = why(errno);
            return contents;
        }
        if (got == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    std::size_t number = 1;
    for (std::size_t start = 0; start < text.size(); ++number) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            contents.warnings.push_back("line " + std::to_string(number) + " is cut short (a write that did not finish); skipped");
            break;
        }
        if (end > start) {
            contents.lines.push_back(text.substr(start, end - start));
            contents.lineNumbers.push_back(number);
        }
        start = end + 1;
    }
    return contents;
}

}  // namespace LedgerFile
