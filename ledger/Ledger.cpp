#include "ledger/Ledger.h"

#include "ledger/JsonText.h"
#include "ledger/LedgerFile.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <ctime>

namespace {

std::string utcNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    std::array<char, 32> text{};
    std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text.data();
}

std::string userName()
{
    if (const passwd *entry = ::getpwuid(::geteuid()); entry && entry->pw_name)
        return entry->pw_name;
    const char *user = std::getenv("USER");
    return user ? user : std::to_string(::geteuid());
}

std::string hostName()
{
    std::array<char, 256> name{};
    if (::gethostname(name.data(), name.size() - 1) != 0)
        return {};
    return name.data();
}

void member(std::string &line, const char *name, const std::string &text)
{
    line += line.size() > 1 ? ", \"" : "\"";
    line += name;
    line += "\": ";
    line += JsonText::ofText(text);
}

}  // namespace

Ledger::Ledger(std::string path, std::string program, Warn warn)
    : m_path(std::move(path)), m_program(std::move(program)), m_warn(std::move(warn))
{
}

std::string Ledger::lineOf(const LedgerRecord &record, const std::string &time, const std::string &user,
                           const std::string &host)
{
    std::string line = "{";
    member(line, "time", time);
    member(line, "user", user);
    member(line, "host", host);
    member(line, "program", record.program);
    member(line, "printer", record.queue);
    member(line, "server", record.server);
    member(line, "device_uri", record.deviceUri);
    member(line, "job_name", record.jobName);
    member(line, "group", record.group);
    member(line, "sha256", record.sha256);
    if (!record.fragment.empty())
        line += ", \"fields\": " + record.fragment;
    line += ", \"job_id\": " + std::to_string(record.jobId);
    member(line, "outcome", record.outcome);
    if (!record.reason.empty())
        member(line, "reason", record.reason);
    return line + '}';
}

void Ledger::record(LedgerRecord record)
{
    record.program = m_program;
    const std::string line = lineOf(record, utcNow(), userName(), hostName());
    const std::optional<std::string> failure = LedgerFile::append(m_path, line);
    const std::lock_guard lock(m_mutex);
    if (!failure || m_warned)
        return;
    m_warned = true;
    if (m_warn)
        m_warn("the ledger " + m_path + " can't be written (" + *failure + "); what is sent goes unrecorded");
}
