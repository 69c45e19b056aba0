#pragma once

#include "spooler/Spooler.h"

#include <chrono>
#include <optional>
#include <string>

// What became of one job handed to the spooler, as far as it could be told in time.
struct JobOutcome
{
    enum class Kind {
        Delivered,    // the spooler reports the job completed: the printer has it
        Waiting,      // the job is still in the queue, for `reason`, and may print later
        Unreachable,  // the printer can't be reached: the job is to be cancelled
        Failed,       // the spooler refused the job, or stopped or lost it
    };
    Kind kind = Kind::Failed;
    std::string reason;  // for people, in the spooler's words where it gave any; empty when delivered
};

// The rule that reads a job's progress, look after look, into its outcome. A job has arrived
// when the spooler says it completed, and failed when it says the job was stopped. While the
// printer works on the job, a device the spooler reports unreachable for `unreachableFor` is
// unreachable (its backend tries again meanwhile, so a printer that was only busy gets its
// chance). When time is up, a job whose printer has been trying to reach its device for that
// long can't be delivered either; any other job waits in the queue.
class JobWatch
{
public:
    using Clock = Spooler::Clock;
    static constexpr std::chrono::milliseconds kUnreachableFor{6000};

    explicit JobWatch(std::chrono::milliseconds unreachableFor = kUnreachableFor);

    // The outcome once this look at the job, taken at `now`, decides it.
    std::optional<JobOutcome> look(const JobProgress &progress, Clock::time_point now);
    // The outcome from the last look, when no more looks are taken.
    JobOutcome timeUp() const;

private:
    std::chrono::milliseconds m_unreachableFor;
    JobProgress m_last;
    Clock::time_point m_lastAt;
    std::optional<Clock::time_point> m_reachingDeviceSince;  // connecting, or unreachable
    std::optional<Clock::time_point> m_unreachableSince;
};
