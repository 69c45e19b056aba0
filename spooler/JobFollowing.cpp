#include "spooler/JobFollowing.h"

#include <algorithm>
#include <optional>
#include <thread>

namespace JobFollowing {
namespace {

// A call made when the time is (nearly) up still gets this long to be answered.
constexpr std::chrono::milliseconds kShortestCall{1000};

class Follower
{
public:
    Follower(Spooler &spooler, const Time &time, const Timing &timing, Clock::time_point start)
        : m_spooler(spooler)
        , m_time(time)
        , m_timing(timing)
        , m_end(start + timing.total)
        , m_lastLook(m_end - timing.cancelReserve)
        , m_watch(timing.unreachableFor)
    {
    }

    JobOutcome follow(int jobId)
    {
        JobOutcome outcome = watch(jobId);
        if (outcome.kind == JobOutcome::Kind::Unreachable && !cancel(jobId))
            return {JobOutcome::Kind::Delivered, {}};
        if (outcome.kind == JobOutcome::Kind::Waiting)
            m_spooler.leftQueued(jobId, outcome.reason);
        return outcome;
    }

private:
    // Looks at the job until a look decides or the time for looking is up; at least once.
    JobOutcome watch(int jobId)
    {
        for (;;) {
            const JobProgress progress = look(jobId, m_lastLook);
            if (std::optional<JobOutcome> outcome = m_watch.look(progress, m_time.now()))
                return *outcome;
            const Clock::time_point next = m_time.now() + m_timing.pollInterval;
            if (next >= m_lastLook)
                return m_watch.timeUp();
            m_time.sleepUntil(next);
        }
    }

    // Cancels the job; false when it turns out to have completed before the cancel reached it.
    bool cancel(int jobId)
    {
        if (!m_spooler.cancelJob(jobId, callEnd(m_end)).failed())
            return true;
        return look(jobId, m_end).phase != JobProgress::Phase::Completed;
    }

    JobProgress look(int jobId, Clock::time_point until)
    {
        const std::vector<JobProgress> progress = m_spooler.jobProgress({jobId}, callEnd(until));
        return progress.empty() ? JobProgress{} : progress.front();
    }

    Clock::time_point callEnd(Clock::time_point until) const { return std::max(until, m_time.now() + kShortestCall); }

    Spooler &m_spooler;
    const Time &m_time;
    const Timing &m_timing;
    Clock::time_point m_end;
    Clock::time_point m_lastLook;
    JobWatch m_watch;
};

}  // namespace

Time systemTime()
{
    return {[] { return Clock::now(); }, [](Clock::time_point until) { std::this_thread::sleep_until(until); }};
}

JobOutcome sendRawJob(Spooler &spooler, const std::string &printer, const std::string &jobName,
                      std::string_view bytes, const Time &time, const Timing &timing)
{
    const Clock::time_point start = time.now();
    const JobSubmission submission = spooler.submitRawJob(printer, jobName, bytes);
    if (!submission.accepted)
        return {JobOutcome::Kind::Failed, submission.refusal};
    return Follower(spooler, time, timing, start).follow(submission.jobId);
}

}  // namespace JobFollowing
