#include "ledger/LedgerSpooler.h"

#include "ledger/GroupFragment.h"
#include "ledger/Sha256.h"
#include "res/Strings.h"
#include "spooler/SettingsJob.h"

LedgerSpooler::LedgerSpooler(std::unique_ptr<Spooler> spooler, std::shared_ptr<Ledger> ledger, std::string server)
    : m_spooler(std::move(spooler)), m_ledger(std::move(ledger)), m_server(std::move(server))
{
}

LedgerSpooler::~LedgerSpooler()
{
    // Followed, and still pending when the program let it be: it waits in the queue.
    for (auto &[jobId, pending] : m_pending) {
        if (!pending.followed)
            continue;
        pending.record.outcome = "queued";
        pending.record.reason = pending.reasons.empty() ? "still pending at the print server" : pending.reasons;
        m_ledger->record(pending.record);
    }
}

PrinterListing LedgerSpooler::printers()
{
    PrinterListing listing = m_spooler->printers();
    const std::lock_guard lock(m_mutex);
    for (const SpoolerPrinter &printer : listing.printers)
        m_deviceUris[printer.name] = printer.deviceUri;
    return listing;
}

LedgerRecord LedgerSpooler::recordOf(const std::string &printer, const std::string &jobName, std::string_view bytes)
{
    LedgerRecord record;
    record.queue = printer;
    record.server = m_server;
    record.jobName = jobName;
    record.sha256 = Sha256::hexOf(bytes);
    const std::lock_guard lock(m_mutex);
    if (const auto known = m_deviceUris.find(printer); known != m_deviceUris.end())
        record.deviceUri = known->second;
    return record;
}

void LedgerSpooler::handedOver(LedgerRecord record, const JobSubmission &submission)
{
    record.jobId = submission.accepted ? submission.jobId : 0;
    record.outcome = submission.accepted ? "accepted" : "refused";
    if (!submission.accepted)
        record.reason = submission.refusal;
    m_ledger->record(record);
    if (!submission.accepted)
        return;
    record.fragment.clear();  // the first line holds the fields; the later one names the job
    const std::lock_guard lock(m_mutex);
    m_pending[submission.jobId] = Pending{std::move(record), false, {}};
}

JobSubmission LedgerSpooler::submitRawJob(const std::string &printer, const std::string &jobName, std::string_view bytes)
{
    LedgerRecord record = recordOf(printer, jobName, bytes);
    if (const std::optional<SettingsJob::Group> group = SettingsJob::groupOf(bytes)) {
        record.group = GroupFragment::nameOf(*group);
        record.fragment = GroupFragment::ofJob(*group, bytes);
    } else if (jobName == Str::kHeadCheckJobName) {
        record.group = "headcheck";
    }
    const JobSubmission submission = m_spooler->submitRawJob(printer, jobName, bytes);
    handedOver(std::move(record), submission);
    return submission;
}

JobSubmission LedgerSpooler::printImage(const std::string &printer, const std::string &jobName, const RgbImage &image)
{
    // The picture's pixels stand for the job: the spooler's driver makes the printer's bytes.
    LedgerRecord record = recordOf(printer, jobName, image.pixels);
    record.group = "testprint";
    const JobSubmission submission = m_spooler->printImage(printer, jobName, image);
    handedOver(std::move(record), submission);
    return submission;
}

void LedgerSpooler::ended(int jobId, const char *outcome, const std::string &reason)
{
    std::unique_lock lock(m_mutex);
    const auto found = m_pending.find(jobId);
    if (found == m_pending.end())
        return;
    LedgerRecord record = std::move(found->second.record);
    m_pending.erase(found);
    lock.unlock();
    record.outcome = outcome;
    record.reason = reason;
    m_ledger->record(std::move(record));
}

std::vector<JobProgress> LedgerSpooler::jobProgress(const std::vector<int> &jobIds, Clock::time_point until)
{
    std::vector<JobProgress> progress = m_spooler->jobProgress(jobIds, until);
    for (std::size_t i = 0; i < jobIds.size() && i < progress.size(); ++i) {
        const JobProgress &job = progress[i];
        if (job.failure != SpoolerError::Kind::None) {
            // A look that failed says nothing of the job, but it is followed.
            const std::lock_guard lock(m_mutex);
            if (const auto found = m_pending.find(jobIds[i]); found != m_pending.end())
                found->second.followed = true;
            continue;
        }
        if (job.phase == JobProgress::Phase::Completed) {
            ended(jobIds[i], "delivered", {});
        } else if (job.phase == JobProgress::Phase::Failed) {
            ended(jobIds[i], "failed", job.reasons.empty() ? "the print server stopped the job" : job.reasons);
        } else {
            const std::lock_guard lock(m_mutex);
            if (const auto found = m_pending.find(jobIds[i]); found != m_pending.end()) {
                found->second.followed = true;
                found->second.reasons = job.reasons;
            }
        }
    }
    return progress;
}

SpoolerError LedgerSpooler::cancelJob(int jobId, Clock::time_point until)
{
    SpoolerError error = m_spooler->cancelJob(jobId, until);
    if (!error.failed())
        ended(jobId, "failed", "cancelled");
    return error;
}

void LedgerSpooler::leftQueued(int jobId, const std::string &reason)
{
    m_spooler->leftQueued(jobId, reason);
    ended(jobId, "queued", reason.empty() ? "still pending at the print server" : reason);
}
