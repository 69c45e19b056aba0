#pragma once

#include "ledger/Ledger.h"
#include "spooler/Spooler.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

// A spooler that records in the ledger every job handed to the spooler beneath it: a line when
// the job is handed over (accepted, with its id, or refused), and for a job that is followed a
// later line when it is known what became of it: delivered or failed as the spooler tells it,
// failed when it is cancelled, and queued when the program leaves it pending (or, not told so, when
// it was still pending as this spooler goes).
class LedgerSpooler : public Spooler
{
public:
    // `server`: the print server of `spooler`, as the program names it.
    LedgerSpooler(std::unique_ptr<Spooler> spooler, std::shared_ptr<Ledger> ledger, std::string server);
    ~LedgerSpooler() override;
    LedgerSpooler(const LedgerSpooler &) = delete;
    LedgerSpooler &operator=(const LedgerSpooler &) = delete;

    PrinterListing printers() override;
    JobSubmission submitRawJob(const std::string &printer, const std::string &jobName, std::string_view bytes) override;
    std::vector<JobProgress> jobProgress(const std::vector<int> &jobIds, Clock::time_point until = kNoLimit) override;
    SpoolerError cancelJob(int jobId, Clock::time_point until = kNoLimit) override;
    void leftQueued(int jobId, const std::string &reason) override;
    JobSubmission printImage(const std::string &printer, const std::string &jobName, const RgbImage &image) override;
    // As the spooler beneath: the record is kept under a lock.
    bool takesCallsAtOnce() const override { return m_spooler->takesCallsAtOnce(); }

private:
    struct Pending
    {
        LedgerRecord record;
        bool followed = false;  // its progress was asked for
        std::string reasons;    // the job's, from the last look
    };

    LedgerRecord recordOf(const std::string &printer, const std::string &jobName, std::string_view bytes);
    void handedOver(LedgerRecord record, const JobSubmission &submission);
    void ended(int jobId, const char *outcome, const std::string &reason);

    std::unique_ptr<Spooler> m_spooler;
    std::shared_ptr<Ledger> m_ledger;
    std::string m_server;
    std::mutex m_mutex;  // the maps below, for programs that call from several threads
    std::map<std::string, std::string> m_deviceUris;  // by printer name, from the last listing
    std::map<int, Pending> m_pending;                 // accepted jobs whose end is not recorded
};
