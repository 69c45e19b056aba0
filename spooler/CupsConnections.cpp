#include "spooler/CupsConnections.h"

#include <algorithm>

CupsConnections::~CupsConnections()
{
    for (const Idle &idle : m_idle)
        httpClose(idle.http);
}

bool CupsConnections::fitForUse(http_t *http, Clock::time_point since)
{
    // An idle connection has nothing to read: anything readable is the scheduler closing it
    // or a stray answer, either way no place for the next request.
    return Clock::now() - since < kKeptFor && httpGetFd(http) >= 0 && httpWait(http, 0) == 0;
}

http_t *CupsConnections::take()
{
    std::vector<http_t *> unfit;
    http_t *found = nullptr;
    {
        const std::lock_guard lock(m_mutex);
        while (!m_idle.empty() && !found) {
            const Idle idle = m_idle.back();
            m_idle.pop_back();
            if (fitForUse(idle.http, idle.since))
                found = idle.http;
            else
                unfit.push_back(idle.http);
        }
    }
    for (http_t *http : unfit)
        httpClose(http);
    return found;
}

void CupsConnections::keep(http_t *http)
{
    // The conversation's deadline and its callback end with it.
    httpSetTimeout(http, 30.0, nullptr, nullptr);
    std::vector<http_t *> closing;
    {
        const std::lock_guard lock(m_mutex);
        // Those kept too long go now, not only when a call would have taken them.
        const auto expired = std::ranges::remove_if(m_idle, [](const Idle &idle) { return Clock::now() - idle.since >= kKeptFor; });
        for (const Idle &idle : expired)
            closing.push_back(idle.http);
        m_idle.erase(expired.begin(), expired.end());
        if (m_idle.size() < kMostKept)
            m_idle.push_back({http, Clock::now()});
        else
            closing.push_back(http);
    }
    for (http_t *old : closing)
        httpClose(old);
}

std::size_t CupsConnections::idleCount() const
{
    const std::lock_guard lock(m_mutex);
    return m_idle.size();
}
