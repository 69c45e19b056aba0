#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>

// One line of the ledger: a job handed to the spooler, or what later became of it.
struct LedgerRecord
{
    std::string program;   // "sbq740", "sbq740-cli"
    std::string queue;     // the spooler's printer name
    std::string server;    // the print server, as the program names it
    std::string deviceUri; // where the spooler sends the printer's jobs; empty: not known
    std::string jobName;
    std::string group;     // "param", "fine", "ip", "issue"; "headcheck", "testprint"; empty: other
    std::string sha256;    // of the bytes handed over
    std::string fragment;  // settings jobs: the group's fields as a settings document's "fields"
    int jobId = 0;         // the spooler's; 0: it took no job
    std::string outcome;   // "accepted", "refused"; later "delivered", "queued", "failed"
    std::string reason;    // why refused, queued or failed
};

// The ledger of what was sent: every record a whole line appended to the ledger file, with the
// time, the user and the host. A record that can't be written never stops a send: the first
// failure is told through `warn`, once.
class Ledger
{
public:
    using Warn = std::function<void(const std::string &message)>;

    Ledger(std::string path, std::string program, Warn warn);

    const std::string &program() const { return m_program; }
    void record(LedgerRecord record);

    // The line a record is written as; `time` is UTC, ISO 8601.
    static std::string lineOf(const LedgerRecord &record, const std::string &time, const std::string &user,
                              const std::string &host);

private:
    std::string m_path;
    std::string m_program;
    Warn m_warn;
    std::mutex m_mutex;
    bool m_warned = false;
};
