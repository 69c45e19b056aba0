#pragma once

#include "spooler/Spooler.h"

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
    // Jobs complete at once unless setProgress() says otherwise; a cancelled job has failed.
    std::vector<JobProgress> jobProgress(const std::vector<int> &jobIds, Clock::time_point until = kNoLimit) override;
    SpoolerError cancelJob(int jobId, Clock::time_point until = kNoLimit) override;
    JobSubmission printImage(const std::string &printer, const std::string &jobName, const RgbImage &image) override;

    void setPrinters(std::vector<SpoolerPrinter> printers) { m_printers = std::move(printers); }
    void addPrinter(const std::string &name, const std::string &connection,
                    const std::string &driver = "QAV Quillotron 740Q2", bool usable = true);
    void setFailJobs(bool fail) { m_failJobs = fail; }
    // false: the printers' queues take no pictures.
    void setPrintsPictures(bool prints) { m_printsPictures = prints; }
    // The listing fails with `error` from now on (a default error: it lists again).
    void setListingError(SpoolerError error) { m_listingError = std::move(error); }
    // What jobProgress() reports for the jobs of `printer` from now on.
    void setProgress(const std::string &printer, JobProgress progress) { m_progress[printer] = {std::move(progress)}; }
    // What it reports for them look after look; the last one stays.
    void setProgressLooks(const std::string &printer, std::vector<JobProgress> looks) { m_progress[printer] = std::move(looks); }
    // What a cancelled job reports: Failed, or Completed when the cancel came too late (the
    // cancel then fails).
    void setCancelledPhase(JobProgress::Phase phase) { m_cancelledPhase = phase; }

    const std::vector<Job> &jobs() const { return m_jobs; }
    const std::vector<ImageJob> &imageJobs() const { return m_imageJobs; }
    const std::vector<int> &cancelled() const { return m_cancelled; }

private:
    std::vector<SpoolerPrinter> m_printers;
    std::vector<Job> m_jobs;
    std::vector<ImageJob> m_imageJobs;
    bool m_failJobs = false;
    bool m_printsPictures = true;
    SpoolerError m_listingError;
    std::map<std::string, std::vector<JobProgress>> m_progress;
    std::map<int, std::size_t> m_looksAtJob;
    std::vector<int> m_cancelled;
    JobProgress::Phase m_cancelledPhase = JobProgress::Phase::Failed;
};
