#include "Delivery.h"

#include "OutputText.h"
#include "PrinterList.h"
#include "Spoolers.h"
#include "Strings.h"

#include <algorithm>
#include <map>
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
    int jobId = 0;
    Clock::time_point until;
    std::string reasons;  // the job's own, from the last look
};

const SpoolerPrinter *find(const std::vector<SpoolerPrinter> &known, const std::string &queue)
{
    const auto found = std::ranges::find(known, queue, &SpoolerPrinter::name);
    return found != known.end() ? &*found : nullptr;
}

class Run
{
public:
    Run(Spoolers &spoolers, std::string defaultServer, const Job &job, const Options &options, const Events &events)
        : m_spoolers(spoolers), m_defaultServer(std::move(defaultServer)), m_job(job), m_options(options), m_events(events)
    {
    }

    Summary deliverAll(const std::vector<PrinterAddress> &printers)
    {
        for (std::size_t index = 0; index < printers.size(); ++index) {
            if (interrupted()) {
                m_summary.notStarted = printers.size() - index;
                break;
            }
            if (m_events.starting)
                m_events.starting(index, printers.size(), OutputText::forTerminal(writtenName(printers[index])));
            start(printers[index]);
            poll();  // the jobs that ended meanwhile are reported as soon as they did
        }
        while (!m_followed.empty()) {
            if (interrupted()) {
                expire(Clock::time_point::max(), "interrupted while it was pending");
                break;
            }
            std::this_thread::sleep_for(m_options.pollInterval);
            poll();
            expire(Clock::now(), {});
        }
        m_summary.interrupted = m_interrupted;
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

    const std::vector<SpoolerPrinter> &known(const std::string &server, Spooler &spooler)
    {
        const auto cached = m_known.find(server);
        if (cached != m_known.end())
            return cached->second;
        return m_known[server] = spooler.printers().printers;
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

    void start(const PrinterAddress &address)
    {
        const std::string server = serverOf(address);
        Spooler *spooler = m_spoolers.at(server);
        if (!spooler) {
            finish({OutputText::forTerminal(writtenName(address)), Result::Failed, "no such print server"});
            return;
        }
        const std::vector<SpoolerPrinter> &printers = known(server, *spooler);
        const std::string queue = resolve(address.queue, printers);
        const bool found = find(printers, queue) != nullptr;
        const std::string name = found ? OutputText::printerName(queue) : OutputText::forTerminal(address.queue);
        const std::string shown = address.server.empty() ? name : name + '@' + address.server;

        if (std::optional<std::string> reason = refusal(queue, printers)) {
            finish({shown, Result::Failed, std::move(*reason)});
            return;
        }
        const JobSubmission submission = spooler->submitRawJob(queue, m_job.name, m_job.bytes);
        if (!submission.accepted) {
            finish({shown, Result::Failed,
                    submission.refusal.empty() ? std::string(Str::kPrinterUnavailable) : submission.refusal});
            return;
        }
        if (!m_options.follow) {
            finish({shown, Result::Accepted, {}});
            return;
        }
        m_followed.push_back({shown, queue, server, submission.jobId, Clock::now() + m_options.wait, {}});
    }

    // One look at every followed job, server by server; the jobs that ended are reported.
    void poll()
    {
        std::map<std::string, std::vector<std::size_t>> byServer;
        for (std::size_t i = 0; i < m_followed.size(); ++i)
            byServer[m_followed[i].server].push_back(i);
        std::vector<bool> ended(m_followed.size(), false);
        for (const auto &[server, indices] : byServer) {
            std::vector<int> ids;
            for (const std::size_t i : indices)
                ids.push_back(m_followed[i].jobId);
            const std::vector<JobProgress> progress = m_spoolers.at(server)->jobProgress(ids);
            for (std::size_t k = 0; k < indices.size() && k < progress.size(); ++k) {
                Followed &job = m_followed[indices[k]];
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
        removeEnded(ended);
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
                fresh[job.server] = m_spoolers.at(job.server)->printers().printers;
            const SpoolerPrinter *printer = find(fresh[job.server], job.queue);
            std::string reason = printer && !printer->stateReasons.empty() ? printer->stateReasons : job.reasons;
            if (reason.empty())
                reason = "still pending at the print server";
            if (!why.empty())
                reason = why + ": " + reason;
            finish({job.printer, Result::Queued, std::move(reason)});
            ended[i] = true;
        }
        removeEnded(ended);
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

    Spoolers &m_spoolers;
    std::string m_defaultServer;
    const Job &m_job;
    const Options &m_options;
    const Events &m_events;
    std::map<std::string, std::vector<SpoolerPrinter>> m_known;
    std::vector<Followed> m_followed;
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
        if (row->connection == Str::kFileConnection)
            return std::string(Str::kFileConnectionRefused);
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

Summary deliver(Spoolers &spoolers, const std::string &defaultServer, const std::vector<PrinterAddress> &printers,
                const Job &job, const Options &options, const Events &events)
{
    return Run(spoolers, defaultServer, job, options, events).deliverAll(printers);
}

}  // namespace Delivery
