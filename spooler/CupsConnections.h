#pragma once

#include <cups/cups.h>

#include <chrono>
#include <cstddef>
#include <mutex>
#include <vector>

// Connections to one scheduler kept open between calls, so that a call need not connect again:
// over a slow network, a connection costs a round trip or more. A call takes one that is idle
// (or connects, when there is none) and gives it back when its conversation ended cleanly. A
// connection kept too long, or one the scheduler has closed or written to meanwhile, is never
// handed out: a connection that a router forgot would hang the call that used it.
class CupsConnections
{
public:
    using Clock = std::chrono::steady_clock;

    // How long an idle connection is kept; the scheduler keeps them far longer.
    static constexpr std::chrono::seconds kKeptFor{10};
    // How many idle connections are kept at most; more are closed when given back.
    static constexpr std::size_t kMostKept = 32;

    CupsConnections() = default;
    ~CupsConnections();
    CupsConnections(const CupsConnections &) = delete;
    CupsConnections &operator=(const CupsConnections &) = delete;

    // An idle connection that is fit for a request, now the caller's; nullptr when there is none.
    http_t *take();
    // Takes back `http`, idle after a whole conversation; it is closed when it can't be kept.
    void keep(http_t *http);

    std::size_t idleCount() const;

private:
    struct Idle
    {
        http_t *http;
        Clock::time_point since;
    };

    static bool fitForUse(http_t *http, Clock::time_point since);

    mutable std::mutex m_mutex;
    std::vector<Idle> m_idle;  // the most recently kept last
};
