#include "printer/WaitCursorSpooler.h"

#include "printer/WaitCursor.h"

WaitCursorSpooler::WaitCursorSpooler(std::unique_ptr<Spooler> spooler)
    : m_spooler(std::move(spooler))
{
}

PrinterListing WaitCursorSpooler::printers()
{
    const WaitCursor busy;
    return m_spooler->printers();
}

JobSubmission WaitCursorSpooler::submitRawJob(const std::string &printer, const std::string &jobName,
                                              std::string_view bytes)
{
    const WaitCursor busy;
    return m_spooler->submitRawJob(printer, jobName, bytes);
}

std::vector<JobProgress> WaitCursorSpooler::jobProgress(const std::vector<int> &jobIds, Clock::time_point until)
{
    const WaitCursor busy;
    return m_spooler->jobProgress(jobIds, until);
}

SpoolerError WaitCursorSpooler::cancelJob(int jobId, Clock::time_point until)
{
    const WaitCursor busy;
    return m_spooler->cancelJob(jobId, until);
}

JobSubmission WaitCursorSpooler::printImage(const std::string &printer, const std::string &jobName,
                                            const RgbImage &image)
{
    const WaitCursor busy;
    return m_spooler->printImage(printer, jobName, image);
}

void WaitCursorSpooler::leftQueued(int jobId, const std::string &reason)
{
    m_spooler->leftQueued(jobId, reason);  // asks the spooler nothing: no wait
}
