#include "FakeSpooler.h"

bool FakeSpooler::writeRawJob(const std::string &printer, const std::string &jobName, std::string_view bytes)
{
    if (m_failJobs)
        return false;
    m_jobs.push_back({printer, jobName, std::string(bytes)});
    return true;
}

bool FakeSpooler::printImage(const std::string &printer, const std::string &jobName, const RgbImage &image)
{
    if (m_failJobs)
        return false;
    m_imageJobs.push_back({printer, jobName, image});
    return true;
}

void FakeSpooler::addPrinter(const std::string &name, const std::string &connection,
                             const std::string &driver, bool usable)
{
    m_printers.push_back({name, connection, driver, usable});
}
