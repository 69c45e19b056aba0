#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

// A call to the outside world that the caller waits for only until a fixed point in time. The
// work runs on a thread of its own; when its result has not come by then, the caller goes on
// without it and the work is told, through its Handoff, that nobody waits any more. Whatever the
// other side does, the caller is back on time.
namespace BoundedCall {

using Clock = std::chrono::steady_clock;

// How often a caller that may be told to stop looks whether it has been.
inline constexpr std::chrono::milliseconds kStopSlice{50};

// Where the worker hands its result to the caller.
template <typename Result>
class Handoff
{
public:
    // Gives the caller the result. False when the caller has stopped waiting: the result then
    // reaches nobody, and the work should undo what it did, where it can.
    bool deliver(Result result)
    {
        const std::lock_guard lock(m_mutex);
        if (m_abandoned)
            return false;
        m_result = std::move(result);
        m_ready.notify_all();
        return true;
    }

    // The caller no longer waits: a worker stops at its next step.
    bool abandoned() const
    {
        const std::lock_guard lock(m_mutex);
        return m_abandoned;
    }

    // The result, or nothing when it did not come by `until` or before `stop` said so (asked
    // every kStopSlice); from then on deliver() refuses.
    std::optional<Result> await(Clock::time_point until, const std::function<bool()> &stop = {})
    {
        std::unique_lock lock(m_mutex);
        const auto ready = [this] { return m_result.has_value(); };
        if (!stop) {
            m_ready.wait_until(lock, until, ready);
        } else {
            while (!m_ready.wait_until(lock, std::min(until, Clock::now() + kStopSlice), ready)
                   && Clock::now() < until && !stop()) {
            }
        }
        if (!m_result)
            m_abandoned = true;
        return std::move(m_result);
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_ready;
    std::optional<Result> m_result;
    bool m_abandoned = false;
};

// Runs `work(handoff)` on its own thread and waits for its result until `until`, or until
// `stop` says that the caller won't wait any longer (the user has asked to stop). The work must
// own everything it uses (capture by value): it may outlive this call.
template <typename Result, typename Work>
std::optional<Result> run(Clock::time_point until, Work work, const std::function<bool()> &stop = {})
{
    auto handoff = std::make_shared<Handoff<Result>>();
    std::thread([handoff, work = std::move(work)]() mutable { work(*handoff); }).detach();
    return handoff->await(until, stop);
}

}  // namespace BoundedCall
