#pragma once

#include "spooler/CupsServer.h"
#include "spooler/Spooler.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class CupsConnections;

// The system's print spooler, reached through libcups, on the CUPS server named by CUPS_SERVER or
// the client configuration. Every call ends, with its result or with a failure, within one total
// deadline, however slowly or strangely the scheduler answers: a hung scheduler would otherwise
// block libcups for minutes. Printers' devices are never contacted; everything comes from the
// scheduler. A job whose upload is answered after the deadline is looked up before the call
// returns (a few seconds more): one the scheduler has whole counts as accepted, any other is
// cancelled. Cancels still under way when the program ends are waited for (PendingCleanups).
// Listings, submissions and looks at jobs share the connections that their calls leave open.
class CupsSpooler : public Spooler
{
public:
    using Server = CupsServer;

    // The longest any one call (a listing, one raw job, one image job) takes.
    static constexpr std::chrono::milliseconds kDeadline{12000};

    explicit CupsSpooler(std::chrono::milliseconds deadline = kDeadline);
    // `stop`, when given, tells that nobody waits for the calls any more (the user asked to
    // stop): a call then ends within BoundedCall::kStopSlice, as if its deadline had passed.
    CupsSpooler(Server server, std::chrono::milliseconds deadline, std::function<bool()> stop = {});

    PrinterListing printers() override;
    JobSubmission submitRawJob(const std::string &printer, const std::string &jobName, std::string_view bytes) override;
    // One Get-Jobs request about this user's jobs, and one about the printer of each that waits.
    std::vector<JobProgress> jobProgress(const std::vector<int> &jobIds, Clock::time_point until = kNoLimit) override;
    SpoolerError cancelJob(int jobId, Clock::time_point until = kNoLimit) override;
    // The picture goes as a PNG file stating the printer's default resolution, with the job
    // attributes that keep CUPS's image filters from scaling, rotating or moving it; a queue
    // that lists no pictures among its document formats gets nothing.
    JobSubmission printImage(const std::string &printer, const std::string &jobName, const RgbImage &image) override;
    // Each call has a session and a thread of its own.
    bool takesCallsAtOnce() const override { return true; }

    // The server libcups is configured to use.
    static Server configuredServer();

private:
    // Runs `work(session, handoff)` on a session of its own under the deadline, or by `until`.
    template <typename Result, typename Work>
    std::optional<Result> withSession(Clock::time_point until, Work work) const;
    // Runs one job's submission `work(session, handoff, created)` under the deadline. When the
    // scheduler has not answered by then, the job the work had created is settled: what became
    // of it tells whether it was accepted, and one that was not is cancelled before this returns.
    template <typename Work>
    JobSubmission submit(Work work) const;
    JobSubmission settle(int jobId) const;

    Server m_server;
    std::chrono::milliseconds m_deadline;
    std::function<bool()> m_stop;
    std::shared_ptr<CupsConnections> m_connections;
};
