#include "spooler/CupsAttributes.h"

#include "spooler/ConnectionText.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <initializer_list>
#include <string_view>

namespace CupsAttributes {
namespace {

// One printer's attributes as the scheduler reported them.
struct PrinterAttributes
{
    std::string name;
    std::string makeAndModel;
    std::string deviceUri;
    std::string printerUri;
    int type = 0;
    bool accepting = true;
    std::vector<std::string> allowedUsers;
    std::vector<std::string> deniedUsers;
    int state = IPP_PSTATE_IDLE;
    std::vector<std::string> reasons;
    std::string message;
};

std::string firstString(ipp_attribute_t *attribute)
{
    const char *text = ippGetString(attribute, 0, nullptr);
    return text ? text : "";
}

std::vector<std::string> allStrings(ipp_attribute_t *attribute)
{
    std::vector<std::string> values;
    for (int i = 0; i < ippGetCount(attribute); ++i) {
        if (const char *text = ippGetString(attribute, i, nullptr))
            values.emplace_back(text);
    }
    return values;
}

void take(PrinterAttributes &printer, ipp_attribute_t *attribute)
{
    const std::string_view name = ippGetName(attribute);
    if (name == "printer-name")
        printer.name = firstString(attribute);
    else if (name == "printer-make-and-model")
        printer.makeAndModel = firstString(attribute);
    else if (name == "device-uri")
        printer.deviceUri = firstString(attribute);
    else if (name == "printer-uri-supported")
        printer.printerUri = firstString(attribute);
    else if (name == "printer-type")
        printer.type = ippGetInteger(attribute, 0);
    else if (name == "printer-is-accepting-jobs")
        printer.accepting = ippGetBoolean(attribute, 0) != 0;
    else if (name == "requesting-user-name-allowed")
        printer.allowedUsers = allStrings(attribute);
    else if (name == "requesting-user-name-denied")
        printer.deniedUsers = allStrings(attribute);
    else if (name == "printer-state")
        printer.state = ippGetInteger(attribute, 0);
    else if (name == "printer-state-reasons")
        printer.reasons = allStrings(attribute);
    else if (name == "printer-state-message")
        printer.message = firstString(attribute);
}

void take(JobState &job, ipp_attribute_t *attribute)
{
    const std::string_view name = ippGetName(attribute);
    if (name == "job-id")
        job.id = ippGetInteger(attribute, 0);
    else if (name == "job-state")
        job.state = ippGetInteger(attribute, 0);
    else if (name == "job-state-reasons")
        job.reasons = allStrings(attribute);
    else if (name == "job-printer-uri")
        job.printerUri = firstString(attribute);
    else if (name == "job-printer-state-reasons")
        job.printerAtJob.reasons = allStrings(attribute);
    else if (name == "job-printer-state-message")
        job.printerAtJob.message = firstString(attribute);
}

void take(PrinterState &printer, ipp_attribute_t *attribute)
{
    const std::string_view name = ippGetName(attribute);
    if (name == "printer-state")
        printer.state = ippGetInteger(attribute, 0);
    else if (name == "printer-state-reasons")
        printer.reasons = allStrings(attribute);
    else if (name == "printer-state-message")
        printer.message = firstString(attribute);
}

// An answer lists its objects one after another, each a run of attributes of `group`.
template <typename Object>
std::vector<Object> objectsIn(ipp_t *response, ipp_tag_t group, const std::function<bool(const Object &)> &complete)
{
    std::vector<Object> objects;
    Object current;
    const auto finishCurrent = [&] {
        if (complete(current))
            objects.push_back(std::move(current));
        current = {};
    };
    for (ipp_attribute_t *attribute = ippFirstAttribute(response); attribute; attribute = ippNextAttribute(response)) {
        if (ippGetGroupTag(attribute) != group || ippGetName(attribute) == nullptr) {
            finishCurrent();
            continue;
        }
        take(current, attribute);
    }
    finishCurrent();
    return objects;
}

SpoolerPrinter toSpoolerPrinter(const PrinterAttributes &printer, const UserAccess::User &user)
{
    const bool remote = (printer.type & CUPS_PRINTER_REMOTE) != 0;
    const bool accepting = printer.accepting && (printer.type & CUPS_PRINTER_REJECTING) == 0;
    const bool allowed = UserAccess::mayPrint(user, printer.allowedUsers, printer.deniedUsers);
    std::vector<std::string> reasons = printer.reasons;
    if (printer.state == IPP_PSTATE_STOPPED && reasons.empty())
        reasons.emplace_back("stopped");
    SpoolerPrinter result{
        printer.name,
        ConnectionText::fromDeviceUri(printer.deviceUri, remote, printer.printerUri),
        printer.makeAndModel,
        accepting && allowed,
    };
    result.acceptingJobs = accepting;
    result.userAllowed = allowed;
    result.stateReasons = reasonsText(reasons, printer.message);
    result.deviceUri = printer.deviceUri;
    return result;
}

bool contains(const std::vector<std::string> &values, std::string_view value)
{
    return std::ranges::find(values, value) != values.end();
}

std::string lowerCase(std::string text)
{
    std::ranges::transform(text, text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool mentionsAny(const std::string &message, std::initializer_list<std::string_view> phrases)
{
    const std::string lower = lowerCase(message);
    return std::ranges::any_of(phrases, [&lower](std::string_view phrase) { return lower.find(phrase) != std::string::npos; });
}

// What CUPS's network backends say, in English, when the device does not answer at all (they go
// on trying), and while they are still trying to reach it.
bool saysDeviceUnreachable(const std::string &message)
{
    return mentionsAny(message, {"may not exist or is unavailable", "is unreachable", "is not responding",
                                 "did not respond", "unable to locate printer", "busy, down, or unreachable"});
}

bool saysConnecting(const PrinterState &printer)
{
    return contains(printer.reasons, "connecting-to-device")
           || mentionsAny(printer.message, {"connecting to printer", "is in use", "is busy"});
}

JobProgress::Stage stageOf(const PrinterState &printer)
{
    if (saysDeviceUnreachable(printer.message))
        return JobProgress::Stage::Unreachable;
    if (saysConnecting(printer))
        return JobProgress::Stage::Connecting;
    return JobProgress::Stage::Printing;
}

std::string withDetail(std::string text, const std::string &detail)
{
    return detail.empty() ? text : text + " (" + detail + ")";
}

// Why a job that has not started waits.
std::string queuedReasons(const JobState &job, const std::optional<PrinterState> &printer)
{
    const std::string jobReasons = reasonsText(job.reasons, {});
    if (job.state == IPP_JSTATE_HELD)
        return withDetail("held", jobReasons);
    if (printer && printer->state == IPP_PSTATE_STOPPED)
        return withDetail("the queue is stopped", reasonsText(printer->reasons, printer->message));
    if (job.state == IPP_JSTATE_STOPPED)
        return withDetail("stopped", jobReasons);
    if (printer && printer->state == IPP_PSTATE_PROCESSING)
        return withDetail("behind other jobs", printer->message);
    return jobReasons;
}

}  // namespace

JobProgress progressOf(const JobState &job, const std::optional<PrinterState> &printer)
{
    JobProgress progress;
    switch (job.state) {
    case IPP_JSTATE_COMPLETED:
        progress.phase = JobProgress::Phase::Completed;
        progress.reasons = reasonsText(job.reasons, {});
        return progress;
    case IPP_JSTATE_CANCELED:
    case IPP_JSTATE_ABORTED:
        progress.phase = JobProgress::Phase::Failed;
        progress.reasons = reasonsText(job.reasons, job.printerAtJob.message);
        return progress;
    case IPP_JSTATE_PROCESSING: {
        const PrinterState &now = printer ? *printer : job.printerAtJob;
        progress.stage = stageOf(now);
        progress.reasons = reasonsText(now.reasons, now.message);
        return progress;
    }
    default:
        progress.reasons = queuedReasons(job, printer);
        return progress;
    }
}

std::vector<SpoolerPrinter> printersIn(ipp_t *response, const UserAccess::User &user)
{
    std::vector<SpoolerPrinter> result;
    const auto named = [](const PrinterAttributes &printer) { return !printer.name.empty(); };
    for (const PrinterAttributes &printer : objectsIn<PrinterAttributes>(response, IPP_TAG_PRINTER, named))
        result.push_back(toSpoolerPrinter(printer, user));
    return result;
}

std::map<int, JobState> jobsIn(ipp_t *response)
{
    std::map<int, JobState> jobs;
    const auto identified = [](const JobState &job) { return job.id > 0; };
    for (JobState &job : objectsIn<JobState>(response, IPP_TAG_JOB, identified))
        jobs[job.id] = std::move(job);
    return jobs;
}

PrinterState printerStateIn(ipp_t *response)
{
    PrinterState printer;
    for (ipp_attribute_t *attribute = ippFirstAttribute(response); attribute; attribute = ippNextAttribute(response)) {
        if (ippGetGroupTag(attribute) == IPP_TAG_PRINTER && ippGetName(attribute))
            take(printer, attribute);
    }
    return printer;
}

std::map<std::string, PrinterState> printerStatesIn(ipp_t *response)
{
    std::map<std::string, PrinterState> states;
    const auto named = [](const PrinterAttributes &printer) { return !printer.name.empty(); };
    for (PrinterAttributes &printer : objectsIn<PrinterAttributes>(response, IPP_TAG_PRINTER, named))
        states[printer.name] = {printer.state, std::move(printer.reasons), std::move(printer.message)};
    return states;
}

std::string queueOfPrinterUri(const std::string &uri)
{
    char scheme[HTTP_MAX_URI], user[HTTP_MAX_URI], host[HTTP_MAX_URI], resource[HTTP_MAX_URI];
    int port = 0;
    if (httpSeparateURI(HTTP_URI_CODING_ALL, uri.c_str(), scheme, sizeof scheme, user, sizeof user, host,
                        sizeof host, &port, resource, sizeof resource) < HTTP_URI_STATUS_OK)
        return {};
    const std::string_view path = resource;
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string reasonsText(const std::vector<std::string> &reasons, const std::string &message)
{
    const auto sameWords = [](std::string_view a, std::string_view b) {
        return std::ranges::equal(a, b, [](char x, char y) { return std::tolower(static_cast<unsigned char>(x))
                                                                        == std::tolower(static_cast<unsigned char>(y)); });
    };
    std::string text;
    bool messageSaid = message.empty();
    for (const std::string &reason : reasons) {
        if (reason == "none")
            continue;
        text += (text.empty() ? "" : ", ") + reason;
        messageSaid = messageSaid || sameWords(reason, message);
    }
    if (!messageSaid)
        text += (text.empty() ? "" : "; ") + message;
    return text;
}

}  // namespace CupsAttributes
