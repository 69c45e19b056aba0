#pragma once

#include "Spooler.h"

#include <map>
#include <string>
#include <vector>

// A spooler in memory: a fixed printer list, and every job it accepted (raw jobs and pictures).
class FakeSpooler : public Spooler
{
public:
    struct Job
    {
        std::string printer;
        std::string name;
        std::string bytes;
    };
    struct ImageJob
    {
        std::string printer;
        std::string name;
        RgbImage image;
    };

    PrinterListing printers() override { return {m_listingError.failed() ? std::vector<SpoolerPrinter>{} : m_printers, m_listingError}; }
    JobSubmission submitRawJob(const std::string &printer, const std::string &jobName, std::string_view bytes) override;
    // Jobs complete at once unless setProgress() says otherwise.
    std::vector<JobProgress> jobProgress(const std::vector<int> &jobIds) override;
    JobSubmission printImage(const std::string &printer, const std::string &jobName, const RgbImage &image) override;

    void setPrinters(std::vector<SpoolerPrinter> printers) { m_printers = std::move(printers); }
    void addPrinter(const std::string &name, const std::string &connection,
                    const std::string &driver = "QAV Quillotron 740Q2", bool usable = true);
    void setFailJobs(bool fail) { m_failJobs = fail; }
    // The listing fails with `error` from now on (a default error: it lists again).
    void setListingError(SpoolerError error) { m_listingError = std::move(error); }
    // What jobProgress() reports for the jobs of `printer` from now on.
    void setProgress(const std::string &printer, JobProgress progress) { m_progress[printer] = std::move(progress); }

    const std::vector<Job> &jobs() const { return m_jobs; }
    const std::vector<ImageJob> &imageJobs() const { return m_imageJobs; }

private:
    std::vector<SpoolerPrinter> m_printers;
    std::vector<Job> m_jobs;
    std::vector<ImageJob> m_imageJobs;
    bool m_failJobs = false;
    SpoolerError m_listingError;
    std::map<std::string, JobProgress> m_progress;
};
