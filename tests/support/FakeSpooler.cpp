#include "FakeSpooler.h"

#include <algorithm>

JobSubmission FakeSpooler::submitRawJob(const std::string &printer, const std::string &jobName, std::string_view bytes)
{
    if (m_failJobs)
        return {false, 0, "the fake spooler refuses jobs"};
    m_jobs.push_back({printer, jobName, std::string(bytes)});
    return {true, static_cast<int>(m_jobs.size()), {}};
}

std::vector<JobProgress> FakeSpooler::jobProgress(const std::vector<int> &jobIds, Clock::time_point)
{
    std::vector<JobProgress> progress;
    for (const int id : jobIds) {
        if (std::ranges::find(m_cancelled, id) != m_cancelled.end()) {
            progress.push_back({m_cancelledPhase, m_cancelledPhase == JobProgress::Phase::Failed ? "canceled" : ""});
            continue;
        }
        const auto index = static_cast<std::size_t>(id - 1);
        const auto set = index < m_jobs.size() ? m_progress.find(m_jobs[index].printer) : m_progress.end();
        if (set == m_progress.end() || set->second.empty()) {
            progress.push_back({JobProgress::Phase::Completed, {}});
            continue;
        }
        std::size_t &seen = m_looksAtJob[id];
        progress.push_back(set->second[std::min(seen, set->second.size() - 1)]);
        ++seen;
    }
    return progress;
}

SpoolerError FakeSpooler::cancelJob(int jobId, Clock::time_point)
{
    m_cancelled.push_back(jobId);
    if (m_cancelledPhase == JobProgress::Phase::Completed)
        return {SpoolerError::Kind::Refused, "the job has completed"};
    return {};
}

JobSubmission FakeSpooler::printImage(const std::string &printer, const std::string &jobName, const RgbImage &image)
{
    if (m_failJobs)
        return {false, 0, "the fake spooler refuses jobs"};
    if (!m_printsPictures)
        return {false, 0, "the fake queue takes no pictures", SpoolerError::Kind::Refused, true};
    m_imageJobs.push_back({printer, jobName, image});
    return {true, static_cast<int>(m_jobs.size() + m_imageJobs.size()), {}};
}

void FakeSpooler::addPrinter(const std::string &name, const std::string &connection,
                             const std::string &driver, bool usable)
{
    m_printers.push_back({name, connection, driver, usable});
}
