#include "spooler/CupsSpooler.h"

#include "spooler/BoundedCall.h"
#include "spooler/CupsAttributes.h"
#include "spooler/CupsConnections.h"
#include "spooler/CupsSession.h"
#include "spooler/PendingCleanups.h"
#include "spooler/PngEncoder.h"
#include "spooler/UserAccess.h"

#include <cups/cups.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <set>

namespace {

using Clock = BoundedCall::Clock;

constexpr char kPictureFormat[] = "image/png";

// After a submission's deadline, finding out what became of the job, and cancelling it, takes
// at most this long (the cancel may go on in the background a little longer).
constexpr std::chrono::milliseconds kSettleTime{3000};

// Job attributes for the Create-Job request, freed with the object.
class JobOptions
{
public:
    JobOptions() = default;
    ~JobOptions() { cupsFreeOptions(m_count, m_options); }
    JobOptions(const JobOptions &) = delete;
    JobOptions &operator=(const JobOptions &) = delete;

    void add(const char *name, const std::string &value) { m_count = cupsAddOption(name, value.c_str(), m_count, &m_options); }
    int count() const { return m_count; }
    cups_option_t *options() const { return m_options; }

private:
    int m_count = 0;
    cups_option_t *m_options = nullptr;
};

PrinterListing listPrinters(CupsSession &session)
{
    using CupsAttributes::kPrinterAttributes;
    IppMessage request(ippNewRequest(IPP_OP_CUPS_GET_PRINTERS));
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(kPrinterAttributes.size()), nullptr, kPrinterAttributes.data());
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    // A scheduler with no printers answers "not found": an empty list, not a failure.
    const IppMessage response = session.request(std::move(request), "/");
    if (!response) {
        if (session.lastError().kind == SpoolerError::Kind::Refused && session.lastStatus() == IPP_STATUS_ERROR_NOT_FOUND)
            return {};
        return {{}, session.lastError()};
    }
    return {CupsAttributes::printersIn(response.get(), UserAccess::currentUser(cupsUser())), {}};
}

// How the session's last step failed; one that ended without a word because time ran out
// counts as no answer in time.
SpoolerError::Kind failureOf(const CupsSession &session)
{
    return session.lastError().failed() ? session.lastError().kind : SpoolerError::Kind::TimedOut;
}

// The job a submission's worker created, shared with its caller. A caller that stops waiting
// takes over the job created by then and finds out what became of it; a job created only later
// is the worker's to cancel.
class CreatedJob
{
public:
    // The worker: false when the caller has already taken over without this job.
    bool publish(int jobId)
    {
        const std::lock_guard lock(m_mutex);
        if (m_takenOver)
            return false;
        m_jobId = jobId;
        return true;
    }

    // The caller, once it stopped waiting: the job created by then, if any.
    std::optional<int> takeOver()
    {
        const std::lock_guard lock(m_mutex);
        m_takenOver = true;
        return m_jobId > 0 ? std::optional<int>(m_jobId) : std::nullopt;
    }

private:
    std::mutex m_mutex;
    int m_jobId = 0;
    bool m_takenOver = false;
};

JobSubmission refusal(const CupsSession &session)
{
    JobSubmission result{false, 0, session.lastRefusal(), failureOf(session)};
    result.documentUnsupported = session.lastStatus() == IPP_STATUS_ERROR_DOCUMENT_FORMAT_NOT_SUPPORTED;
    return result;
}

// One job holding one document of `format`, accepted when the scheduler answers the document's
// upload with success. A job that is not accepted must not print: it is cancelled before the
// caller hears of the failure, so that the program can't end first. When the caller has stopped
// waiting, the job it took over is its own business; one it never heard of is cancelled here.
void submitJob(BoundedCall::Handoff<JobSubmission> &handoff, CreatedJob &created, CupsSession &session,
               const std::string &printer, const std::string &jobName, const char *format,
               const JobOptions &options, std::string_view document)
{
    const int jobId = session.createJob(printer, jobName, options.options(), options.count());
    if (jobId <= 0) {
        handoff.deliver(refusal(session));
        return;
    }
    if (!created.publish(jobId)) {
        cancelCupsJob(session.server(), jobId, Clock::now() + kCancelTime);
        return;
    }
    if (!session.stopped() && session.sendDocument(printer, jobId, jobName, format, document)) {
        handoff.deliver({true, jobId, {}});
        return;
    }
    if (!handoff.abandoned())
        cancelCupsJob(session.server(), jobId, Clock::now() + kCancelTime);
    handoff.deliver(refusal(session));
}

// The state of one job; nothing when the scheduler does not say.
std::optional<CupsAttributes::JobState> lookUpJob(CupsSession &session, int jobId)
{
    using CupsAttributes::kJobAttributes;
    IppMessage request(ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES));
    const std::string uri = "ipp://localhost/jobs/" + std::to_string(jobId);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(kJobAttributes.size()), nullptr, kJobAttributes.data());
    const IppMessage response = session.request(std::move(request), "/jobs/");
    if (!response)
        return std::nullopt;
    std::map<int, CupsAttributes::JobState> jobs = CupsAttributes::jobsIn(response.get());
    const auto found = jobs.find(jobId);
    return found != jobs.end() ? std::optional(std::move(found->second)) : std::nullopt;
}

// The scheduler has the whole job: it printed, or it waits to print. (A job still held as
// "job-incoming" never got all of its document.)
bool holdsWholeJob(const CupsAttributes::JobState &job)
{
    switch (job.state) {
    case IPP_JSTATE_COMPLETED:
    case IPP_JSTATE_PENDING:
    case IPP_JSTATE_PROCESSING:
    case IPP_JSTATE_STOPPED:
        return true;
    case IPP_JSTATE_HELD:
        return std::ranges::find(job.reasons, "job-incoming") == job.reasons.end();
    default:
        return false;
    }
}

// A job whose upload went unanswered until the deadline: accepted when the scheduler has it
// whole (the answer was late, not a refusal), else cancelled, before the caller is told.
void settleLateJob(BoundedCall::Handoff<JobSubmission> &handoff, CupsSession &session, int jobId)
{
    const std::optional<CupsAttributes::JobState> job = lookUpJob(session, jobId);
    if (job && holdsWholeJob(*job)) {
        // A caller that gave up meanwhile reports a failure: unless it printed already, make it one.
        if (handoff.deliver({true, jobId, {}}) || job->state == IPP_JSTATE_COMPLETED)
            return;
    }
    cancelCupsJob(session.server(), jobId, Clock::now() + kCancelTime);
    handoff.deliver({false, 0, job ? "the print server did not take the whole job in time" : kNoAnswerInTime});
}

// How the printer at `printerUri` is doing; nothing when the scheduler does not say.
std::optional<CupsAttributes::PrinterState> printerState(CupsSession &session, const std::string &printerUri)
{
    using CupsAttributes::kPrinterStateAttributes;
    IppMessage request(ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES));
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri.c_str());
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(kPrinterStateAttributes.size()), nullptr, kPrinterStateAttributes.data());
    const IppMessage response = session.request(std::move(request), "/");
    if (!response)
        return std::nullopt;
    return CupsAttributes::printerStateIn(response.get());
}

bool hasEnded(const CupsAttributes::JobState &job)
{
    return job.state == IPP_JSTATE_COMPLETED || job.state == IPP_JSTATE_CANCELED || job.state == IPP_JSTATE_ABORTED;
}

using PrinterStates = std::map<std::string, std::optional<CupsAttributes::PrinterState>>;

// How the printers at `printerUris` are doing: one printer is asked about itself, several are
// read from one listing of all (one round trip, however many printers of a fleet have jobs pending).
PrinterStates printerStates(CupsSession &session, const std::set<std::string> &printerUris)
{
    PrinterStates states;
    if (printerUris.size() == 1) {
        states[*printerUris.begin()] = printerState(session, *printerUris.begin());
        return states;
    }
    if (printerUris.empty())
        return states;
    static constexpr std::array<const char *, 4> kAttributes{"printer-name", "printer-state", "printer-state-reasons",
                                                              "printer-state-message"};
    IppMessage request(ippNewRequest(IPP_OP_CUPS_GET_PRINTERS));
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(kAttributes.size()), nullptr, kAttributes.data());
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    const IppMessage response = session.request(std::move(request), "/");
    if (!response) {
        for (const std::string &uri : printerUris)
            states[uri] = std::nullopt;
        return states;
    }
    const std::map<std::string, CupsAttributes::PrinterState> byName = CupsAttributes::printerStatesIn(response.get());
    // A class is not among the printers: it is asked about itself.
    for (const std::string &uri : printerUris) {
        const auto found = byName.find(CupsAttributes::queueOfPrinterUri(uri));
        states[uri] = found != byName.end() ? std::optional(found->second) : printerState(session, uri);
    }
    return states;
}

// Where each job stands, from one Get-Jobs answer about this user's jobs from the first of them
// on, and the current state of the printers of those still pending.
std::vector<JobProgress> followJobs(CupsSession &session, const std::vector<int> &jobIds)
{
    using CupsAttributes::kJobAttributes;
    IppMessage request(ippNewRequest(IPP_OP_GET_JOBS));
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, "ipp://localhost/");
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
    ippAddBoolean(request.get(), IPP_TAG_OPERATION, "my-jobs", 1);
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "first-job-id",
                  *std::ranges::min_element(jobIds));
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(kJobAttributes.size()), nullptr, kJobAttributes.data());
    const IppMessage response = session.request(std::move(request), "/jobs/");
    std::vector<JobProgress> progress;
    if (!response) {
        progress.assign(jobIds.size(), {JobProgress::Phase::Pending, session.lastRefusal(), JobProgress::Stage::Queued, failureOf(session)});
        return progress;
    }
    const std::map<int, CupsAttributes::JobState> jobs = CupsAttributes::jobsIn(response.get());
    std::set<std::string> pendingPrinters;
    for (const int id : jobIds) {
        const auto found = jobs.find(id);
        if (found != jobs.end() && !hasEnded(found->second) && !found->second.printerUri.empty())
            pendingPrinters.insert(found->second.printerUri);
    }
    const PrinterStates printers = printerStates(session, pendingPrinters);
    for (const int id : jobIds) {
        const auto found = jobs.find(id);
        if (found == jobs.end()) {
            progress.push_back({JobProgress::Phase::Failed, "the print server no longer lists the job"});
            continue;
        }
        const CupsAttributes::JobState &job = found->second;
        const auto printer = printers.find(job.printerUri);
        progress.push_back(CupsAttributes::progressOf(job, printer != printers.end() ? printer->second : std::nullopt));
    }
    return progress;
}

int toDotsPerInch(int value, ipp_res_t units)
{
    return units == IPP_RES_PER_CM ? static_cast<int>(std::lround(value * 2.54)) : value;
}

// What a printer's queue does with pictures: whether it takes them at all (a queue without a
// driver for them does not list them among its document formats; unknown counts as yes), and the
// resolution its driver prints them at by default (unknown when the scheduler won't say).
struct PictureSupport
{
    bool taken = true;
    PngEncoder::DotsPerInch resolution;
};

PictureSupport pictureSupport(CupsSession &session, const std::string &printer)
{
    static constexpr std::array<const char *, 2> kAttributes{"printer-resolution-default", "document-format-supported"};
    IppMessage request = session.newPrinterRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, printer);
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(kAttributes.size()), nullptr, kAttributes.data());
    const IppMessage response = session.request(std::move(request), "/");
    PictureSupport support;
    if (!response)
        return support;
    if (ipp_attribute_t *formats = ippFindAttribute(response.get(), "document-format-supported", IPP_TAG_MIMETYPE))
        support.taken = ippContainsString(formats, kPictureFormat) != 0;
    if (ipp_attribute_t *attribute = ippFindAttribute(response.get(), "printer-resolution-default", IPP_TAG_RESOLUTION)) {
        int y = 0;
        ipp_res_t units = IPP_RES_PER_INCH;
        const int x = ippGetResolution(attribute, 0, &y, &units);
        support.resolution = {toDotsPerInch(x, units), toDotsPerInch(y, units)};
    }
    return support;
}

std::string resolutionText(PngEncoder::DotsPerInch resolution)
{
    if (resolution.x == resolution.y)
        return std::to_string(resolution.x) + "dpi";
    return std::to_string(resolution.x) + "x" + std::to_string(resolution.y) + "dpi";
}

// What the image job asks of CUPS's image filters (imagetoraster, imagetopdf): print the picture
// as it is, its pixel (0, 0) on the page's top-left device pixel at one device pixel per picture
// pixel. Left alone, they turn a wide picture to landscape and centre it on the page. Portrait
// and the top-left position keep it upright and in the corner; "ppi" at the printer's resolution
// prints it unscaled (print-scaling=none would too, but makes the filters centre it whatever
// the position). Without a known resolution only the scaling can be refused.
void addImageOptions(JobOptions &options, PngEncoder::DotsPerInch resolution)
{
    options.add("orientation-requested", "3");  // portrait
    options.add("position", "top-left");
    if (resolution.isKnown()) {
        options.add("printer-resolution", resolutionText(resolution));
        const std::string ppi = resolution.x == resolution.y
                                    ? std::to_string(resolution.x)
                                    : std::to_string(resolution.x) + "x" + std::to_string(resolution.y);
        options.add("ppi", ppi);
    } else {
        options.add("print-scaling", "none");
    }
}

}  // namespace

CupsSpooler::CupsSpooler(std::chrono::milliseconds deadline)
    : CupsSpooler(configuredServer(), deadline)
{
}

CupsSpooler::CupsSpooler(Server server, std::chrono::milliseconds deadline, std::function<bool()> stop)
    : m_server(std::move(server))
    , m_deadline(deadline)
    , m_stop(std::move(stop))
    , m_connections(std::make_shared<CupsConnections>())
{
}

CupsSpooler::Server CupsSpooler::configuredServer()
{
    return {cupsServer(), ippPort()};
}

template <typename Result, typename Work>
std::optional<Result> CupsSpooler::withSession(Clock::time_point until, Work work) const
{
    const Clock::time_point deadline = std::min(Clock::now() + m_deadline, until);
    return BoundedCall::run<Result>(
        deadline, [server = m_server, deadline, connections = m_connections, work = std::move(work)](
                      BoundedCall::Handoff<Result> &handoff) {
            CupsSession session(server, deadline, [&handoff] { return handoff.abandoned(); }, connections);
            work(session, handoff);
        },
        m_stop);
}

template <typename Work>
JobSubmission CupsSpooler::submit(Work work) const
{
    const Clock::time_point deadline = Clock::now() + m_deadline;
    auto created = std::make_shared<CreatedJob>();
    // The worker may have a job to cancel after this call has returned.
    auto cleanup = std::make_shared<PendingCleanups::Hold>();
    const std::optional<JobSubmission> answer = BoundedCall::run<JobSubmission>(
        deadline, [server = m_server, deadline, connections = m_connections, created, cleanup, work = std::move(work)](
                      BoundedCall::Handoff<JobSubmission> &handoff) {
            CupsSession session(server, deadline, [&handoff] { return handoff.abandoned(); }, connections);
            work(session, handoff, *created);
        },
        m_stop);
    if (answer)
        return *answer;
    const std::optional<int> jobId = created->takeOver();
    return jobId ? settle(*jobId) : JobSubmission{false, 0, kNoAnswerInTime, SpoolerError::Kind::TimedOut};
}

JobSubmission CupsSpooler::settle(int jobId) const
{
    const Clock::time_point until = Clock::now() + kSettleTime;
    // The worker goes on to cancel the job when this call gives up on it.
    auto cleanup = std::make_shared<PendingCleanups::Hold>();
    const auto work = [server = m_server, until, jobId, cleanup](BoundedCall::Handoff<JobSubmission> &handoff) {
        CupsSession session(server, until);
        settleLateJob(handoff, session, jobId);
    };
    return BoundedCall::run<JobSubmission>(until, work, m_stop)
        .value_or(JobSubmission{false, 0, kNoAnswerInTime, SpoolerError::Kind::TimedOut});
}

PrinterListing CupsSpooler::printers()
{
    return withSession<PrinterListing>(kNoLimit,
                                       [](CupsSession &session, BoundedCall::Handoff<PrinterListing> &handoff) {
                                           handoff.deliver(listPrinters(session));
                                       })
        .value_or(PrinterListing{{}, {SpoolerError::Kind::TimedOut, kNoAnswerInTime}});
}

JobSubmission CupsSpooler::submitRawJob(const std::string &printer, const std::string &jobName, std::string_view bytes)
{
    return submit([printer, jobName, document = std::string(bytes)](
                      CupsSession &session, BoundedCall::Handoff<JobSubmission> &handoff, CreatedJob &created) {
        submitJob(handoff, created, session, printer, jobName, CUPS_FORMAT_RAW, JobOptions(), document);
    });
}

std::vector<JobProgress> CupsSpooler::jobProgress(const std::vector<int> &jobIds, Clock::time_point until)
{
    using Progress = std::vector<JobProgress>;
    if (jobIds.empty())
        return {};
    return withSession<Progress>(until,
                                 [jobIds](CupsSession &session, BoundedCall::Handoff<Progress> &handoff) {
                                     handoff.deliver(followJobs(session, jobIds));
                                 })
        .value_or(Progress(jobIds.size(), {JobProgress::Phase::Pending, kNoAnswerInTime, JobProgress::Stage::Queued, SpoolerError::Kind::TimedOut}));
}

SpoolerError CupsSpooler::cancelJob(int jobId, Clock::time_point until)
{
    const Clock::time_point deadline = std::min(Clock::now() + m_deadline, until);
    // A cancel that is late for the caller still goes out before the program ends.
    auto cleanup = std::make_shared<PendingCleanups::Hold>();
    const auto work = [server = m_server, deadline, jobId, cleanup](BoundedCall::Handoff<SpoolerError> &handoff) {
        handoff.deliver(cancelCupsJob(server, jobId, deadline));
    };
    return BoundedCall::run<SpoolerError>(deadline, work).value_or(SpoolerError{SpoolerError::Kind::TimedOut, kNoAnswerInTime});
}

JobSubmission CupsSpooler::printImage(const std::string &printer, const std::string &jobName, const RgbImage &image)
{
    return submit([printer, jobName, image](CupsSession &session, BoundedCall::Handoff<JobSubmission> &handoff,
                                            CreatedJob &created) {
        const PictureSupport support = pictureSupport(session, printer);
        if (!support.taken) {
            JobSubmission refused{false, 0, "the printer's queue takes no pictures: it has no driver that prints them"};
            refused.documentUnsupported = true;
            handoff.deliver(refused);
            return;
        }
        const std::string png = PngEncoder::encode(image, support.resolution);
        if (png.empty() || session.stopped()) {
            handoff.deliver({false, 0, png.empty() ? "the picture could not be encoded" : kNoAnswerInTime});
            return;
        }
        JobOptions options;
        addImageOptions(options, support.resolution);
        submitJob(handoff, created, session, printer, jobName, kPictureFormat, options, png);
    });
}
