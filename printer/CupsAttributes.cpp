#include "CupsAttributes.h"

#include "ConnectionText.h"

#include <algorithm>
#include <cctype>
#include <functional>
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

// One job's attributes.
struct JobAttributes
{
    int id = 0;
    int state = IPP_JSTATE_PENDING;
    std::vector<std::string> reasons;
    std::string printerMessage;
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

void take(JobAttributes &job, ipp_attribute_t *attribute)
{
    const std::string_view name = ippGetName(attribute);
    if (name == "job-id")
        job.id = ippGetInteger(attribute, 0);
    else if (name == "job-state")
        job.state = ippGetInteger(attribute, 0);
    else if (name == "job-state-reasons")
        job.reasons = allStrings(attribute);
    else if (name == "job-printer-state-message")
        job.printerMessage = firstString(attribute);
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
    return result;
}

JobProgress toProgress(const JobAttributes &job)
{
    JobProgress progress;
    switch (job.state) {
    case IPP_JSTATE_COMPLETED:
        progress.phase = JobProgress::Phase::Completed;
        break;
    case IPP_JSTATE_CANCELED:
    case IPP_JSTATE_ABORTED:
        progress.phase = JobProgress::Phase::Failed;
        break;
    default:
        progress.phase = JobProgress::Phase::Pending;
        break;
    }
    progress.reasons = reasonsText(job.reasons, job.printerMessage);
    return progress;
}

}  // namespace

std::vector<SpoolerPrinter> printersIn(ipp_t *response, const UserAccess::User &user)
{
    std::vector<SpoolerPrinter> result;
    const auto named = [](const PrinterAttributes &printer) { return !printer.name.empty(); };
    for (const PrinterAttributes &printer : objectsIn<PrinterAttributes>(response, IPP_TAG_PRINTER, named))
        result.push_back(toSpoolerPrinter(printer, user));
    return result;
}

std::map<int, JobProgress> jobsIn(ipp_t *response)
{
    std::map<int, JobProgress> jobs;
    const auto identified = [](const JobAttributes &job) { return job.id > 0; };
    for (const JobAttributes &job : objectsIn<JobAttributes>(response, IPP_TAG_JOB, identified))
        jobs[job.id] = toProgress(job);
    return jobs;
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
