// The scheduler's answer to the printer-list request, as bytes: a scheduler of this target's own
// on a local socket answers CupsSpooler::printers() with the input as the IPP attribute groups,
// and the printers it yields go into the printer list.
#include "FuzzSupport.h"
#include "res/Strings.h"
#include "spooler/CupsSpooler.h"
#include "spooler/PrinterList.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

using namespace FuzzSupport;
namespace fs = std::filesystem;

namespace {

// Reads one HTTP request (headers and a Content-Length body) from `client`; its IPP request id.
std::string readRequest(int client)
{
    std::string request;
    char buffer[4096];
    std::size_t wanted = std::string::npos;
    while (request.size() < wanted) {
        const ssize_t got = ::read(client, buffer, sizeof buffer);
        if (got <= 0)
            break;
        request.append(buffer, static_cast<std::size_t>(got));
        const auto headersEnd = request.find("\r\n\r\n");
        if (headersEnd != std::string::npos && wanted == std::string::npos) {
            const auto length = request.find("Content-Length:");
            const std::size_t body = length == std::string::npos ? 0 : std::stoul(request.substr(length + 15));
            wanted = headersEnd + 4 + body;
        }
    }
    return request;
}

std::string requestId(const std::string &request)
{
    const auto body = request.find("\r\n\r\n");
    if (body == std::string::npos || request.size() < body + 4 + 8)
        return std::string("\0\0\0\1", 4);
    return request.substr(body + 4 + 4, 4);
}

// A scheduler that answers every request with the current input.
class Scheduler
{
public:
    Scheduler()
    {
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string folder = (base / "sbq-fuzz-XXXXXX").string();
        if (::mkdtemp(folder.data()) == nullptr)
            fail("no temporary folder");
        m_folder = folder;
        m_path = (m_folder / "cups.sock").string();
        m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        m_path.copy(address.sun_path, sizeof address.sun_path - 1);
        if (::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || ::listen(m_listener, 8) != 0)
            fail("the scheduler could not listen");
        m_thread = std::thread([this] { serve(); });
    }
    ~Scheduler()
    {
        ::shutdown(m_listener, SHUT_RDWR);
        ::close(m_listener);
        m_thread.join();
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    Scheduler(const Scheduler &) = delete;
    Scheduler &operator=(const Scheduler &) = delete;

    const std::string &path() const { return m_path; }

    void answerWith(std::string_view attributes)
    {
        const std::lock_guard lock(m_mutex);
        m_attributes = attributes;
    }

private:
    void serve()
    {
        for (;;) {
            const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0)
                return;
            const std::string request = readRequest(client);
            std::string ipp = std::string("\2\0\0\0", 4) + requestId(request);
            {
                const std::lock_guard lock(m_mutex);
                ipp += m_attributes;
            }
            const std::string answer = "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: "
                + std::to_string(ipp.size()) + "\r\nConnection: close\r\n\r\n" + ipp;
            [[maybe_unused]] const ssize_t written = ::write(client, answer.data(), answer.size());
            ::close(client);
        }
    }

    fs::path m_folder;
    std::string m_path;
    int m_listener = -1;
    std::mutex m_mutex;
    std::string m_attributes;
    std::thread m_thread;
};

Scheduler &scheduler()
{
    static Scheduler made;
    return made;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    scheduler();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    scheduler().answerWith(textOf(data, size));
    CupsSpooler spooler({scheduler().path(), 0}, std::chrono::milliseconds(2000));
    const std::vector<SpoolerPrinter> printers = spooler.printers().printers;
    for (const SpoolerPrinter &printer : printers)
        require(!printer.name.empty(), "a printer without a name");

    const PrinterList list(printers);
    std::string name;
    std::string connection;
    if (list.count() > 0) {
        const auto result = list.confirm(list.preselectedRow(""), name, connection);
        require(result != PrinterList::Confirmation::NothingSelected, "the preselected row could not be confirmed");
        require((result == PrinterList::Confirmation::Accepted) == (connection != Str::kFileConnection),
                "a file connection was accepted, or another refused");
    }
    return 0;
}
