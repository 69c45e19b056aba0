#include "FakeSpooler.h"

JobSubmission FakeSpooler::submitRawJob(const std::string &printer, const std::string &jobName, std::string_view bytes)
{
    if (m_failJobs)
        return {false, 0, "the fake spooler refuses jobs"};
    m_jobs.push_back({printer, jobName, std::string(bytes)});
    return {true, static_cast<int>(m_jobs.size()), {}};
}

std::vector<JobProgress> FakeSpooler::jobProgress(const std::vector<int> &jobIds)
{
    std::vector<JobProgress> progress;
    for (const int id : jobIds) {
        const auto index = static_cast<std::size_t>(id - 1);
        const auto set = index < m_jobs.size() ? m_progress.find(m_jobs[index].printer) : m_progress.end();
        progress.push_back(set != m_progress.end() ? set->second : JobProgress{JobProgress::Phase::Completed, {}});
    }
    return progress;
}

JobSubmission FakeSpooler::printImage(const std::string &printer, const std::string &jobName, const RgbImage &image)
{
    if (m_failJobs)
        return {false, 0, "the fake spooler refuses jobs"};
    m_imageJobs.push_back({printer, jobName, image});
    return {true, static_cast<int>(m_jobs.size() + m_imageJobs.size()), {}};
}

void FakeSpooler::addPrinter(const std::string &name, const std::string &connection,
                             const std::string &driver, bool usable)
{
    m_printers.push_back({name, connection, driver, usable});
}
