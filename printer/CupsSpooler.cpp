#include "CupsSpooler.h"

#include "BoundedCall.h"
#include "CupsAttributes.h"
#include "CupsSession.h"
#include "PngEncoder.h"
#include "UserAccess.h"

#include <cups/cups.h>

#include <algorithm>
#include <cmath>

namespace {

using Clock = BoundedCall::Clock;

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

// One job holding one document of `format`. Accepted only when the scheduler answered the
// document's upload with success and the caller still waits for the result. A job that was
// created but not accepted so is cancelled, so that nothing the caller was told failed prints.
void submitJob(BoundedCall::Handoff<JobSubmission> &handoff, CupsSession &session, const std::string &printer,
               const std::string &jobName, const char *format, const JobOptions &options, std::string_view document)
{
    const int jobId = session.createJob(printer, jobName, options.options(), options.count());
    if (jobId <= 0) {
        handoff.deliver({false, 0, session.lastRefusal(), failureOf(session)});
        return;
    }
    const bool accepted = !session.stopped() && session.sendDocument(printer, jobId, jobName, format, document);
    const JobSubmission result{accepted, accepted ? jobId : 0, accepted ? std::string() : session.lastRefusal(),
                               accepted ? SpoolerError::Kind::None : failureOf(session)};
    if (!handoff.deliver(result) || !accepted)
        cancelCupsJob(session.server(), printer, jobId);
}

// Where each job stands, from one Get-Jobs answer about this user's jobs from the first of them on.
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
        progress.assign(jobIds.size(), {JobProgress::Phase::Pending, session.lastRefusal(), failureOf(session)});
        return progress;
    }
    const std::map<int, JobProgress> jobs = CupsAttributes::jobsIn(response.get());
    for (const int id : jobIds) {
        const auto found = jobs.find(id);
        progress.push_back(found != jobs.end()
                               ? found->second
                               : JobProgress{JobProgress::Phase::Failed, "the print server no longer lists the job"});
    }
    return progress;
}

int toDotsPerInch(int value, ipp_res_t units)
{
    return units == IPP_RES_PER_CM ? static_cast<int>(std::lround(value * 2.54)) : value;
}

// The resolution the printer's driver prints at by default; unknown when the scheduler won't say.
PngEncoder::DotsPerInch defaultResolution(CupsSession &session, const std::string &printer)
{
    IppMessage request = session.newPrinterRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, printer);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-resolution-default");
    const IppMessage response = session.request(std::move(request), "/");
    if (!response)
        return {};
    ipp_attribute_t *attribute = ippFindAttribute(response.get(), "printer-resolution-default", IPP_TAG_RESOLUTION);
    if (!attribute)
        return {};
    int y = 0;
    ipp_res_t units = IPP_RES_PER_INCH;
    const int x = ippGetResolution(attribute, 0, &y, &units);
    return {toDotsPerInch(x, units), toDotsPerInch(y, units)};
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
{
}

CupsSpooler::Server CupsSpooler::configuredServer()
{
    return {cupsServer(), ippPort()};
}

template <typename Result, typename Work>
std::optional<Result> CupsSpooler::withSession(Work work) const
{
    const Clock::time_point deadline = Clock::now() + m_deadline;
    return BoundedCall::run<Result>(
        deadline, [server = m_server, deadline, work = std::move(work)](BoundedCall::Handoff<Result> &handoff) {
            CupsSession session(server, deadline, [&handoff] { return handoff.abandoned(); });
            work(session, handoff);
        },
        m_stop);
}

PrinterListing CupsSpooler::printers()
{
    return withSession<PrinterListing>([](CupsSession &session, BoundedCall::Handoff<PrinterListing> &handoff) {
               handoff.deliver(listPrinters(session));
           })
        .value_or(PrinterListing{{}, {SpoolerError::Kind::TimedOut, "no answer from the print server in time"}});
}

JobSubmission CupsSpooler::submitRawJob(const std::string &printer, const std::string &jobName, std::string_view bytes)
{
    return withSession<JobSubmission>(
               [printer, jobName, document = std::string(bytes)](CupsSession &session,
                                                                  BoundedCall::Handoff<JobSubmission> &handoff) {
                   submitJob(handoff, session, printer, jobName, CUPS_FORMAT_RAW, JobOptions(), document);
               })
        .value_or(JobSubmission{false, 0, "no answer from the print server in time", SpoolerError::Kind::TimedOut});
}

std::vector<JobProgress> CupsSpooler::jobProgress(const std::vector<int> &jobIds)
{
    using Progress = std::vector<JobProgress>;
    if (jobIds.empty())
        return {};
    return withSession<Progress>([jobIds](CupsSession &session, BoundedCall::Handoff<Progress> &handoff) {
               handoff.deliver(followJobs(session, jobIds));
           })
        .value_or(Progress(jobIds.size(), {JobProgress::Phase::Pending, "no answer from the print server in time",
                                           SpoolerError::Kind::TimedOut}));
}

JobSubmission CupsSpooler::printImage(const std::string &printer, const std::string &jobName, const RgbImage &image)
{
    return withSession<JobSubmission>(
               [printer, jobName, image](CupsSession &session, BoundedCall::Handoff<JobSubmission> &handoff) {
                   const PngEncoder::DotsPerInch resolution = defaultResolution(session, printer);
                   const std::string png = PngEncoder::encode(image, resolution);
                   if (png.empty() || session.stopped()) {
                       handoff.deliver({false, 0,
                                        png.empty() ? "the picture could not be encoded"
                                                    : "no answer from the print server in time"});
                       return;
                   }
                   JobOptions options;
                   addImageOptions(options, resolution);
                   submitJob(handoff, session, printer, jobName, "image/png", options, png);
               })
        .value_or(JobSubmission{false, 0, "no answer from the print server in time", SpoolerError::Kind::TimedOut});
}
