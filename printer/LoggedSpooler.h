#pragma once

#include "spooler/Spooler.h"

#include <QLoggingCategory>

#include <memory>

// The spooler's reasons for what it could not do, for an administrator: silent by default, on
// with QT_LOGGING_RULES="sbq740.spooler.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcSpooler)

// Passes every call to another spooler and logs, under lcSpooler, each failure with the reason
// the spooler gave: a listing that failed, a job refused or not handed over, a look at jobs
// that could not be made, a cancel not confirmed. The answers go back unchanged.
class LoggedSpooler : public Spooler
{
public:
    explicit LoggedSpooler(std::unique_ptr<Spooler> spooler);

    PrinterListing printers() override;
    JobSubmission submitRawJob(const std::string &printer, const std::string &jobName, std::string_view bytes) override;
    std::vector<JobProgress> jobProgress(const std::vector<int> &jobIds, Clock::time_point until = kNoLimit) override;
    SpoolerError cancelJob(int jobId, Clock::time_point until = kNoLimit) override;
    JobSubmission printImage(const std::string &printer, const std::string &jobName, const RgbImage &image) override;

private:
    std::unique_ptr<Spooler> m_spooler;
};
