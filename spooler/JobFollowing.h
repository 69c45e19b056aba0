#pragma once

#include "spooler/JobWatch.h"
#include "spooler/Spooler.h"

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

// One raw job handed to the spooler and followed until it is known what became of it, within one
// total time: delivered, waiting in the queue (left there, with the reason), or not deliverable
// (refused or failed; a printer that can't be reached has its job cancelled, so that nothing
// prints later by surprise). JobWatch holds the rule; this runs it against a spooler.
namespace JobFollowing {

using Clock = Spooler::Clock;

struct Timing
{
    std::chrono::milliseconds total{15000};         // the whole of it, from handing the job over
    std::chrono::milliseconds cancelReserve{2000};  // kept at the end for cancelling the job
    std::chrono::milliseconds pollInterval{100};
    std::chrono::milliseconds unreachableFor = JobWatch::kUnreachableFor;
};

// The time the following goes by; a test gives its own.
struct Time
{
    std::function<Clock::time_point()> now;
    std::function<void(Clock::time_point)> sleepUntil;
};
Time systemTime();

// Hands `bytes` to `printer` as the raw job `jobName` and follows it.
JobOutcome sendRawJob(Spooler &spooler, const std::string &printer, const std::string &jobName,
                      std::string_view bytes, const Time &time = systemTime(), const Timing &timing = {});

}  // namespace JobFollowing
