#include "spooler/PendingCleanups.h"

#include <condition_variable>
#include <cstdlib>
#include <mutex>

namespace PendingCleanups {
namespace {

struct Registry
{
    std::mutex mutex;
    std::condition_variable idle;
    int held = 0;
};

void drainAtExit()
{
    drain(Clock::now() + kLongestWaitAtExit);
}

// Made on first use, when the wait at the end is registered too; never destroyed, since workers
// may still release their holds while the process goes down.
Registry &registry()
{
    static Registry *const instance = [] {
        auto *made = new Registry;
        std::atexit(drainAtExit);
        return made;
    }();
    return *instance;
}

}  // namespace

Hold::Hold()
{
    Registry &all = registry();
    const std::lock_guard lock(all.mutex);
    ++all.held;
}

Hold::~Hold()
{
    Registry &all = registry();
    const std::lock_guard lock(all.mutex);
    if (--all.held == 0)
        all.idle.notify_all();
}

bool drain(Clock::time_point until)
{
    Registry &all = registry();
    std::unique_lock lock(all.mutex);
    return all.idle.wait_until(lock, until, [&all] { return all.held == 0; });
}

}  // namespace PendingCleanups
