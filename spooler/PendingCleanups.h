#pragma once

#include <chrono>

// Work that finishes what a spooler call left behind after its caller stopped waiting, such as
// cancelling a job that the user was told did not go out. Such work runs on threads of its own,
// and the process would take them down when it ends: the end of the program therefore waits for
// the work still held, a bounded time, so that a job reported as failed can't print once the
// program is gone. (Process-wide on purpose: whichever object made the call, the process ends
// once.)
namespace PendingCleanups {

using Clock = std::chrono::steady_clock;

// The longest the end of the program waits for them.
inline constexpr std::chrono::seconds kLongestWaitAtExit{8};

// Held while a worker may still have something to clean up; released when it is done.
class Hold
{
public:
    Hold();
    ~Hold();
    Hold(const Hold &) = delete;
    Hold &operator=(const Hold &) = delete;
};

// Waits until no Hold is left or `until` has passed; true when none is left.
bool drain(Clock::time_point until);

}  // namespace PendingCleanups
