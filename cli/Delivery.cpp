#include "cli/Delivery.h"

#include "cli/OutputText.h"
#include "cli/PrintServers.h"
#include "res/Strings.h"
#include "send/SendPolicy.h"
#include "spooler/PrinterList.h"

#include <algorithm>
#include <future>
#include <map>
#include <set>
#include <thread>

namespace Delivery {
namespace {

using Clock = std::chrono::steady_clock;

// A job the spooler accepted and that is being followed.
struct Followed
{
    std::string printer;  // as printed
    std::string queue;
    std::string server;
    std::string serverNamed;  // the server's name for reasons, when the printer's line lacks it
    int jobId = 0;
    Clock::time_point until;
    std::string reasons;  // the job's own, from the last look
};

// A job being handed to its spooler on a thread of its own.
struct Submitting
{
    PrinterAddress address;
    std::string printer;  // as printed
    std::string queue;
    std::string server;
    std::future<JobSubmission> result;
};

// How long the run waits for a submission before it looks at the others again.
constexpr std::chrono::milliseconds kSubmissionSlice{5};

const SpoolerPrinter *find(const std::vector<SpoolerPrinter> &known, const std::string &queue)
{
    const auto found = std::ranges::find(known, queue, &SpoolerPrinter::name);
    return found != known.end() ? &*found : nullptr;
}

class Run
{
public:
    Run(PrintServers &servers, std::string defaultServer, const std::vector<Job> &jobs, const Options &options,
        const Events &events)
        : m_servers(servers), m_defaultServer(std::move(defaultServer)), m_jobs(jobs), m_options(options), m_events(events)
    {
    }

    Summary deliverAll(const std::vector<PrinterAddress> &printers)
    {
        std::vector<std::string> servers;
        for (const PrinterAddress &printer : printers)
            servers.push_back(serverOf(printer));
        m_servers.list(servers);
        std::vector<bool> started(printers.size(), false);
        std::size_t left = printers.size();
        Clock::time_point lastLook = Clock::now();
        while (left > 0 || !m_submitting.empty()) {
            if (interrupted())
                break;
            for (std::size_t index = 0; index < printers.size() && !interrupted(); ++index) {
                if (started[index] || !mayStart(serverOf(printers[index])))
                    continue;
                started[index] = true;
                --left;
                if (m_events.starting)
                    m_events.starting(index, printers.size(), OutputText::forTerminal(writtenName(printers[index])));
                start(printers[index], m_jobs.size() == 1 ? m_jobs.front() : m_jobs[index]);
                if (m_submitting.empty())
                    poll();  // the jobs that ended meanwhile are reported as soon as they did
            }
            awaitSubmissions();
            if (!m_submitting.empty() && Clock::now() - lastLook >= m_options.pollInterval) {
                poll();
                lastLook = Clock::now();
            }
        }
        m_summary.notStarted = left;
        while (!m_submitting.empty())
            awaitSubmissions();
        while (!m_followed.empty()) {
            if (interrupted()) {
                expire(Clock::time_point::max(), "interrupted while it was pending");
                break;
            }
            std::this_thread::sleep_for(m_options.pollInterval);
            poll();
            expire(Clock::now(), {});
        }
        m_summary.interrupted = interrupted();
        return std::move(m_summary);
    }

private:
    bool interrupted()
    {
        if (!m_interrupted && m_events.interrupted && m_events.interrupted())
            m_interrupted = true;
        return m_interrupted;
    }

    static std::string writtenName(const PrinterAddress &address)
    {
        return address.server.empty() ? address.queue : address.queue + '@' + address.server;
    }

    std::string serverOf(const PrinterAddress &address) const
    {
        return address.server.empty() ? m_defaultServer : address.server;
    }

    // The printer's line names its server when it was written with one; else the reason does.
    std::string serverNamed(const PrinterAddress &address) const
    {
        return address.server.empty() ? m_servers.name(serverOf(address)) : std::string();
    }

    // Notes a call to `server` that failed with `kind`; one that the interrupt cut short says
    // nothing about the server.
    void noteFailure(const std::string &server, SpoolerError::Kind kind)
    {
        if (!(interrupted() && kind == SpoolerError::Kind::TimedOut))
            m_servers.noteFailure(server, kind);
    }

    // The queue the written name means: the name itself when a queue has it, else the name with
    // the escapes it was printed with undone.
    static std::string resolve(const std::string &written, const std::vector<SpoolerPrinter> &printers)
    {
        if (find(printers, written))
            return written;
        std::string unescaped = OutputText::unescapePrinterName(written);
        return find(printers, unescaped) ? unescaped : written;
    }

    void finish(Outcome outcome)
    {
        if (m_events.ended)
            m_events.ended(outcome);
        m_summary.outcomes.push_back(std::move(outcome));
    }

    // A job may go to `server` now: a spooler whose calls can't overlap takes one at a time,
    // and so does a server until it has answered a submission, so that one that does not answer
    // costs one wait; then up to the run's number of jobs at once.
    bool mayStart(const std::string &server)
    {
        const std::size_t busy = static_cast<std::size_t>(
            std::ranges::count(m_submitting, server, [](const Submitting &s) { return s.server; }));
        Spooler *spooler = m_servers.spooler(server);
        if (!spooler || m_servers.down(server) || busy == 0)
            return true;
        if (!spooler->takesCallsAtOnce() || !m_answered.contains(server))
            return false;
        return busy < std::max<std::size_t>(m_options.jobs, 1);
    }

    void start(const PrinterAddress &address, const Job &job)
    {
        const std::string server = serverOf(address);
        Spooler *spooler = m_servers.spooler(server);
        if (!spooler) {
            finish({OutputText::forTerminal(writtenName(address)), Result::Failed, "no such print server"});
            return;
        }
        const std::vector<SpoolerPrinter> &printers = m_servers.printers(server);
        const std::string queue = resolve(address.queue, printers);
        const bool found = find(printers, queue) != nullptr;
        const std::string name = found ? OutputText::printerName(queue) : OutputText::forTerminal(address.queue);
        const std::string shown = address.server.empty() ? name : name + '@' + address.server;

        if (const std::optional<SpoolerError> down = m_servers.down(server)) {
            finish({shown, Result::Failed, PrintServers::reason(*down, serverNamed(address))});
            return;
        }
        if (std::optional<std::string> reason = refusal(queue, printers)) {
            finish({shown, Result::Failed, std::move(*reason)});
            return;
        }
        Submitting submitting{address, shown, queue, server, {}};
        if (!spooler->takesCallsAtOnce()) {
            submitted(submitting, spooler->submitRawJob(queue, job.name, job.bytes));
            return;
        }
        submitting.result = std::async(std::launch::async, [spooler, queue, &job] {
            return spooler->submitRawJob(queue, job.name, job.bytes);
        });
        m_submitting.push_back(std::move(submitting));
    }

    // Waits a moment for the submissions under way, and takes in those that have ended.
    void awaitSubmissions()
    {
        if (m_submitting.empty())
            return;
        m_submitting.front().result.wait_for(kSubmissionSlice);
        std::vector<Submitting> still;
        for (Submitting &submitting : m_submitting) {
            if (submitting.result.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
                submitted(submitting, submitting.result.get());
            else
                still.push_back(std::move(submitting));
        }
        m_submitting = std::move(still);
    }

    void submitted(const Submitting &submitting, const JobSubmission &submission)
    {
        const PrinterAddress &address = submitting.address;
        if (submission.accepted || !meansNoAnswer(submission.failure))
            m_answered.insert(submitting.server);
        if (!submission.accepted) {
            finish({submitting.printer, Result::Failed, submissionFailure(submission, submitting.server, address)});
            return;
        }
        if (!m_options.follow) {
            finish({submitting.printer, Result::Accepted, {}});
            return;
        }
        m_followed.push_back({submitting.printer, submitting.queue, submitting.server, serverNamed(address),
                              submission.jobId, Clock::now() + m_options.wait, {}});
    }

    static bool meansNoAnswer(SpoolerError::Kind kind)
    {
        return kind == SpoolerError::Kind::Unreachable || kind == SpoolerError::Kind::TimedOut;
    }

    std::string submissionFailure(const JobSubmission &submission, const std::string &server,
                                  const PrinterAddress &address)
    {
        if (interrupted() && submission.failure == SpoolerError::Kind::TimedOut)
            return PrintServers::kCutShort;
        noteFailure(server, submission.failure);
        if (const std::optional<SpoolerError> down = m_servers.down(server))
            return PrintServers::reason(*down, serverNamed(address));
        return submission.refusal.empty() ? std::string(Str::kPrinterUnavailable) : submission.refusal;
    }

    // One look at every followed job: the servers are asked at the same time where their
    // spoolers take calls at once. The jobs that ended are reported, and so are those of a
    // server that has gone down.
    void poll()
    {
        std::map<std::string, std::vector<std::size_t>> byServer;
        for (std::size_t i = 0; i < m_followed.size(); ++i)
            byServer[m_followed[i].server].push_back(i);
        std::map<std::string, std::future<std::vector<JobProgress>>> looks;
        for (const auto &[server, indices] : byServer) {
            if (!m_servers.down(server))
                looks[server] = askProgress(server, indices, byServer.size() > 1);
        }
        std::vector<bool> ended(m_followed.size(), false);
        for (const auto &[server, indices] : byServer) {
            if (const auto look = looks.find(server); look != looks.end())
                take(server, indices, look->second.get(), ended);
            if (const std::optional<SpoolerError> down = m_servers.down(server)) {
                for (const std::size_t i : indices) {
                    if (!ended[i])
                        leftQueued(m_followed[i], PrintServers::reason(*down, m_followed[i].serverNamed));
                    ended[i] = true;
                }
            }
        }
        removeEnded(ended);
    }

    // Asks `server` where its followed jobs stand, on a thread of its own when `atOnce` and its
    // spooler takes calls at once.
    std::future<std::vector<JobProgress>> askProgress(const std::string &server, const std::vector<std::size_t> &indices,
                                                      bool atOnce)
    {
        std::vector<int> ids;
        for (const std::size_t i : indices)
            ids.push_back(m_followed[i].jobId);
        Spooler *spooler = m_servers.spooler(server);
        const std::launch launch = atOnce && spooler->takesCallsAtOnce() ? std::launch::async : std::launch::deferred;
        return std::async(launch, [spooler, ids = std::move(ids)] { return spooler->jobProgress(ids); });
    }

    // Takes in what `server` said of its followed jobs.
    void take(const std::string &server, const std::vector<std::size_t> &indices, const std::vector<JobProgress> &progress,
              std::vector<bool> &ended)
    {
        for (std::size_t k = 0; k < indices.size() && k < progress.size(); ++k) {
            Followed &job = m_followed[indices[k]];
            noteFailure(server, progress[k].failure);
            if (progress[k].failure != SpoolerError::Kind::None)
                continue;  // a look that failed says nothing about the job
            job.reasons = progress[k].reasons;
            if (progress[k].phase == JobProgress::Phase::Completed) {
                finish({job.printer, Result::Delivered, {}});
                ended[indices[k]] = true;
            } else if (progress[k].phase == JobProgress::Phase::Failed) {
                finish({job.printer, Result::Failed,
                        job.reasons.empty() ? "the print server stopped the job" : job.reasons});
                ended[indices[k]] = true;
            }
        }
    }

    // The printers of `server` as it lists them now; none when it is down or won't say.
    std::vector<SpoolerPrinter> freshPrinters(const std::string &server)
    {
        if (m_servers.down(server))
            return {};
        PrinterListing listing = m_servers.spooler(server)->printers();
        noteFailure(server, listing.error.kind);
        return std::move(listing.printers);
    }

    // The jobs followed for long enough (all, for `until` max) are reported as queued, with the
    // reasons their printers give.
    void expire(Clock::time_point now, const std::string &why)
    {
        std::vector<bool> ended(m_followed.size(), false);
        std::map<std::string, std::vector<SpoolerPrinter>> fresh;
        for (std::size_t i = 0; i < m_followed.size(); ++i) {
            const Followed &job = m_followed[i];
            if (now != Clock::time_point::max() && job.until > now)
                continue;
            if (!fresh.contains(job.server))
                fresh[job.server] = freshPrinters(job.server);
            const SpoolerPrinter *printer = find(fresh[job.server], job.queue);
            std::string reason = printer && !printer->stateReasons.empty() ? printer->stateReasons : job.reasons;
            if (reason.empty())
                reason = "still pending at the print server";
            if (!why.empty())
                reason = why + ": " + reason;
            leftQueued(job, std::move(reason));
            ended[i] = true;
        }
        removeEnded(ended);
    }

    // The run stops following `job` while it is pending, for `reason`; its spooler is told too.
    void leftQueued(const Followed &job, std::string reason)
    {
        if (Spooler *spooler = m_servers.spooler(job.server))
            spooler->leftQueued(job.jobId, reason);
        finish({job.printer, Result::Queued, std::move(reason)});
    }

    void removeEnded(const std::vector<bool> &ended)
    {
        std::vector<Followed> still;
        for (std::size_t i = 0; i < m_followed.size(); ++i) {
            if (!ended[i])
                still.push_back(std::move(m_followed[i]));
        }
        m_followed = std::move(still);
    }

    PrintServers &m_servers;
    std::string m_defaultServer;
    const std::vector<Job> &m_jobs;
    const Options &m_options;
    const Events &m_events;
    std::vector<Followed> m_followed;
    std::vector<Submitting> m_submitting;  // handed to a spooler, no answer yet
    std::set<std::string> m_answered;      // servers that have answered a submission
    Summary m_summary;
    bool m_interrupted = false;
};

}  // namespace

std::size_t Summary::count(Result result) const
{
    return static_cast<std::size_t>(std::ranges::count(outcomes, result, &Outcome::result));
}

std::optional<std::string> refusal(const std::string &printer, const std::vector<SpoolerPrinter> &known)
{
    const PrinterList list(known);
    const auto row = std::ranges::find(list.rows(), printer, &PrinterList::Row::name);
    if (row != list.rows().end()) {
        SendPolicy::Answer answer = SendPolicy::decide({row->connection, std::nullopt});
        if (!answer.allowed())
            return std::move(answer.refusals.front().text);
        return std::nullopt;
    }

    const SpoolerPrinter *spooled = find(known, printer);
    if (!spooled)
        return "no such printer";
    if (spooled->driver != Str::kDriverName)
        return "not a " + std::string(Str::kDriverName) + " (its model is '" + spooled->driver + "')";
    if (!spooled->acceptingJobs)
        return "the queue is rejecting jobs" + (spooled->stateReasons.empty() ? "" : " (" + spooled->stateReasons + ")");
    return "the printer does not accept jobs from this user";
}

Summary deliver(PrintServers &servers, const std::string &defaultServer, const std::vector<PrinterAddress> &printers,
                const Job &job, const Options &options, const Events &events)
{
    return deliver(servers, defaultServer, printers, std::vector<Job>{job}, options, events);
}

Summary deliver(PrintServers &servers, const std::string &defaultServer, const std::vector<PrinterAddress> &printers,
                const std::vector<Job> &jobs, const Options &options, const Events &events)
{
    return Run(servers, defaultServer, jobs, options, events).deliverAll(printers);
}

}  // namespace Delivery
