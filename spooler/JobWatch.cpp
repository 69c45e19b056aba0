#include "spooler/JobWatch.h"

namespace {

std::string orElse(const std::string &reasons, const char *fallback)
{
    return reasons.empty() ? std::string(fallback) : reasons;
}

// Keeps when a state began while it lasts; forgets it when the state ends.
void track(std::optional<JobWatch::Clock::time_point> &since, bool holds, JobWatch::Clock::time_point now)
{
    if (!holds)
        since.reset();
    else if (!since)
        since = now;
}

}  // namespace

JobWatch::JobWatch(std::chrono::milliseconds unreachableFor)
    : m_unreachableFor(unreachableFor)
{
}

std::optional<JobOutcome> JobWatch::look(const JobProgress &progress, Clock::time_point now)
{
    m_last = progress;
    m_lastAt = now;
    switch (progress.phase) {
    case JobProgress::Phase::Completed:
        return JobOutcome{JobOutcome::Kind::Delivered, {}};
    case JobProgress::Phase::Failed:
        return JobOutcome{JobOutcome::Kind::Failed, orElse(progress.reasons, "the print server stopped the job")};
    case JobProgress::Phase::Pending:
        break;
    }
    const bool unreachable = progress.stage == JobProgress::Stage::Unreachable;
    track(m_reachingDeviceSince, unreachable || progress.stage == JobProgress::Stage::Connecting, now);
    track(m_unreachableSince, unreachable, now);
    if (!unreachable || now - *m_unreachableSince < m_unreachableFor)
        return std::nullopt;
    return JobOutcome{JobOutcome::Kind::Unreachable, orElse(progress.reasons, "the printer can't be reached")};
}

JobOutcome JobWatch::timeUp() const
{
    if (m_last.phase == JobProgress::Phase::Completed)
        return {JobOutcome::Kind::Delivered, {}};
    if (m_last.phase == JobProgress::Phase::Failed)
        return {JobOutcome::Kind::Failed, orElse(m_last.reasons, "the print server stopped the job")};
    if (m_reachingDeviceSince && m_lastAt - *m_reachingDeviceSince >= m_unreachableFor)
        return {JobOutcome::Kind::Unreachable, orElse(m_last.reasons, "the printer can't be reached")};
    return {JobOutcome::Kind::Waiting, orElse(m_last.reasons, "still pending at the print server")};
}
