#pragma once

#include "spooler/JobFollowing.h"

#include <algorithm>

// A clock for following jobs that stands still except when the follower sleeps.
struct FakeTime
{
    JobFollowing::Clock::time_point now{};

    JobFollowing::Time time()
    {
        return {[this] { return now; }, [this](JobFollowing::Clock::time_point until) { now = std::max(now, until); }};
    }
};
