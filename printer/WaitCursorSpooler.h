#pragma once

#include "spooler/Spooler.h"

#include <memory>

// Shows the wait cursor while another spooler's call runs: the calls block the user-interface
// thread until the spooler answers.
class WaitCursorSpooler : public Spooler
{
public:
    explicit WaitCursorSpooler(std::unique_ptr<Spooler> spooler);

    PrinterListing printers() override;
    JobSubmission submitRawJob(const std::string &printer, const std::string &jobName, std::string_view bytes) override;
    std::vector<JobProgress> jobProgress(const std::vector<int> &jobIds, Clock::time_point until = kNoLimit) override;
    SpoolerError cancelJob(int jobId, Clock::time_point until = kNoLimit) override;
    void leftQueued(int jobId, const std::string &reason) override;
    JobSubmission printImage(const std::string &printer, const std::string &jobName, const RgbImage &image) override;

private:
    std::unique_ptr<Spooler> m_spooler;
};
