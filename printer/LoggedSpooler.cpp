#include "printer/LoggedSpooler.h"

#include "text/VisibleText.h"

#include <QString>

Q_LOGGING_CATEGORY(lcSpooler, "sbq740.spooler", QtWarningMsg)

namespace {

// The spooler's words and the printers' names come from outside: written with their controls
// visible, so that a log line stays one line and says what it seems to.
QString visible(std::string_view text)
{
    return QString::fromStdString(VisibleText::Escaped(text));
}

QString reasonOr(const std::string &reason, const char *fallback)
{
    return reason.empty() ? QString::fromLatin1(fallback) : visible(reason);
}

void logSubmission(const char *what, const std::string &printer, const std::string &jobName,
                   const JobSubmission &submission)
{
    if (submission.accepted)
        return;
    qCDebug(lcSpooler).noquote() << what << "job" << visible(jobName) << "for printer" << visible(printer)
                                 << "not taken:" << reasonOr(submission.refusal, "no reason given");
}

}  // namespace

LoggedSpooler::LoggedSpooler(std::unique_ptr<Spooler> spooler)
    : m_spooler(std::move(spooler))
{
}

PrinterListing LoggedSpooler::printers()
{
    PrinterListing listing = m_spooler->printers();
    if (listing.error.failed())
        qCDebug(lcSpooler).noquote() << "listing the printers failed:"
                                     << reasonOr(listing.error.reason, "no reason given");
    return listing;
}

JobSubmission LoggedSpooler::submitRawJob(const std::string &printer, const std::string &jobName,
                                          std::string_view bytes)
{
    JobSubmission submission = m_spooler->submitRawJob(printer, jobName, bytes);
    logSubmission("raw", printer, jobName, submission);
    return submission;
}

std::vector<JobProgress> LoggedSpooler::jobProgress(const std::vector<int> &jobIds, Clock::time_point until)
{
    std::vector<JobProgress> progress = m_spooler->jobProgress(jobIds, until);
    for (std::size_t i = 0; i < progress.size() && i < jobIds.size(); ++i) {
        if (progress[i].failure != SpoolerError::Kind::None)
            qCDebug(lcSpooler).noquote() << "asking after job" << jobIds[i]
                                         << "failed:" << reasonOr(progress[i].reasons, "no reason given");
    }
    return progress;
}

SpoolerError LoggedSpooler::cancelJob(int jobId, Clock::time_point until)
{
    SpoolerError error = m_spooler->cancelJob(jobId, until);
    if (error.failed())
        qCDebug(lcSpooler).noquote() << "cancelling job" << jobId
                                     << "not confirmed:" << reasonOr(error.reason, "no reason given");
    return error;
}

JobSubmission LoggedSpooler::printImage(const std::string &printer, const std::string &jobName, const RgbImage &image)
{
    JobSubmission submission = m_spooler->printImage(printer, jobName, image);
    logSubmission("picture", printer, jobName, submission);
    return submission;
}
