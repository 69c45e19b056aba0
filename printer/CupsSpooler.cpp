#include "CupsSpooler.h"

#include "ConnectionText.h"
#include "PngEncoder.h"
#include "UserAccess.h"

#include <cups/cups.h>

#include <sys/socket.h>

#include <array>
#include <cmath>

namespace {

struct HttpCloser
{
    void operator()(http_t *http) const { httpClose(http); }
};
using Connection = std::unique_ptr<http_t, HttpCloser>;

struct IppDeleter
{
    void operator()(ipp_t *ipp) const { ippDelete(ipp); }
};
using IppMessage = std::unique_ptr<ipp_t, IppDeleter>;

// Any wait that outlasts the connection's timeout ends the request. The timeout stays with the
// connection when libcups reconnects it.
int giveUpWaiting(http_t *, void *)
{
    return 0;
}

// No one can type a password for a GUI program's background request: refuse at once.
const char *noPassword(const char *, http_t *, const char *, const char *, void *)
{
    return nullptr;
}

bool succeeded(ipp_status_t status)
{
    return status <= IPP_STATUS_OK_EVENTS_COMPLETE;
}

constexpr std::array<const char *, 8> kRequestedAttributes{
    "printer-name",
    "printer-make-and-model",
    "device-uri",
    "printer-uri-supported",
    "printer-type",
    "printer-is-accepting-jobs",
    "requesting-user-name-allowed",
    "requesting-user-name-denied",
};

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
}

// The response lists the printers one after another, each a run of printer attributes.
std::vector<PrinterAttributes> printersIn(ipp_t *response)
{
    std::vector<PrinterAttributes> printers;
    PrinterAttributes current;
    const auto finishCurrent = [&] {
        if (!current.name.empty())
            printers.push_back(std::move(current));
        current = {};
    };
    for (ipp_attribute_t *attribute = ippFirstAttribute(response); attribute; attribute = ippNextAttribute(response)) {
        if (ippGetGroupTag(attribute) != IPP_TAG_PRINTER || ippGetName(attribute) == nullptr) {
            finishCurrent();
            continue;
        }
        take(current, attribute);
    }
    finishCurrent();
    return printers;
}

SpoolerPrinter toSpoolerPrinter(const PrinterAttributes &printer, const UserAccess::User &user)
{
    const bool remote = (printer.type & CUPS_PRINTER_REMOTE) != 0;
    const bool rejecting = !printer.accepting || (printer.type & CUPS_PRINTER_REJECTING) != 0;
    return {
        printer.name,
        ConnectionText::fromDeviceUri(printer.deviceUri, remote, printer.printerUri),
        printer.makeAndModel,
        !rejecting && UserAccess::mayPrint(user, printer.allowedUsers, printer.deniedUsers),
    };
}

}  // namespace

CupsSpooler::CupsSpooler(std::chrono::milliseconds timeout)
    : CupsSpooler(configuredServer(), timeout)
{
}

CupsSpooler::CupsSpooler(Server server, std::chrono::milliseconds timeout)
    : m_server(std::move(server))
    , m_timeout(timeout)
{
    cupsSetPasswordCB2(noPassword, nullptr);
}

CupsSpooler::Server CupsSpooler::configuredServer()
{
    return {cupsServer(), ippPort()};
}

namespace {

Connection connectTo(const CupsSpooler::Server &server, std::chrono::milliseconds timeout)
{
    Connection http(httpConnect2(server.host.c_str(), server.port, nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                 static_cast<int>(timeout.count()), nullptr));
    if (http)
        httpSetTimeout(http.get(), std::chrono::duration<double>(timeout).count(), giveUpWaiting, nullptr);
    return http;
}

void cancelJob(const CupsSpooler::Server &server, std::chrono::milliseconds timeout, const std::string &printer,
               int jobId)
{
    // The connection that carried the refused document may be broken: cancel on a fresh one.
    if (Connection http = connectTo(server, timeout))
        cupsCancelJob2(http.get(), printer.c_str(), jobId, 0);
}

}  // namespace

std::vector<SpoolerPrinter> CupsSpooler::printers()
{
    Connection http = connectTo(m_server, m_timeout);
    if (!http)
        return {};

    ipp_t *request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(kRequestedAttributes.size()), nullptr, kRequestedAttributes.data());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    const IppMessage response(cupsDoRequest(http.get(), request, "/"));
    // A scheduler with no printers answers "not found"; any failure lists nothing.
    if (!response || !succeeded(cupsLastError()))
        return {};

    const UserAccess::User user = UserAccess::currentUser(cupsUser());
    std::vector<SpoolerPrinter> result;
    for (const PrinterAttributes &printer : printersIn(response.get()))
        result.push_back(toSpoolerPrinter(printer, user));
    return result;
}

namespace {

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

// A request of `operation` addressed to `printer`, on behalf of this user.
ipp_t *newPrinterRequest(ipp_op_t operation, const std::string &printer)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     printer.c_str());
    ipp_t *request = ippNewRequest(operation);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    return request;
}

// Creates a job on `printer` over `http`, under its timeout; the job id, or 0. Not
// cupsCreateJob: that first looks the destination up, and when the scheduler does not answer it
// goes on asking over connections of its own that wait libcups' default minute each, which held
// a send to a frozen scheduler for over two minutes.
int createJob(http_t *http, const std::string &printer, const std::string &jobName, const JobOptions &options)
{
    ipp_t *request = newPrinterRequest(IPP_OP_CREATE_JOB, printer);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, jobName.c_str());
    cupsEncodeOptions2(request, options.count(), options.options(), IPP_TAG_OPERATION);
    cupsEncodeOptions2(request, options.count(), options.options(), IPP_TAG_JOB);
    const std::string resource = "/printers/" + printer;
    const IppMessage response(cupsDoRequest(http, request, resource.c_str()));
    if (!response || !succeeded(cupsLastError()))
        return 0;
    ipp_attribute_t *jobId = ippFindAttribute(response.get(), "job-id", IPP_TAG_INTEGER);
    return jobId ? ippGetInteger(jobId, 0) : 0;
}

// One job holding one document of `format`. A job the scheduler created but did not receive
// whole is cancelled, so that no half job stays queued.
bool submitJob(Connection http, const CupsSpooler::Server &server, std::chrono::milliseconds timeout,
               const std::string &printer, const std::string &jobName, const char *format, const JobOptions &options,
               std::string_view document)
{
    const int jobId = createJob(http.get(), printer, jobName, options);
    if (jobId <= 0)
        return false;

    const bool delivered =
        cupsStartDocument(http.get(), printer.c_str(), jobId, jobName.c_str(), format, 1) == HTTP_STATUS_CONTINUE
        && cupsWriteRequestData(http.get(), document.data(), document.size()) == HTTP_STATUS_CONTINUE
        && succeeded(cupsFinishDocument(http.get(), printer.c_str()));
    if (!delivered) {
        http.reset();
        cancelJob(server, timeout, printer, jobId);
    }
    return delivered;
}

int toDotsPerInch(int value, ipp_res_t units)
{
    return units == IPP_RES_PER_CM ? static_cast<int>(std::lround(value * 2.54)) : value;
}

// The resolution the printer's driver prints at by default; unknown when the scheduler won't say.
PngEncoder::DotsPerInch defaultResolution(http_t *http, const std::string &printer)
{
    ipp_t *request = newPrinterRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, printer);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-resolution-default");
    const IppMessage response(cupsDoRequest(http, request, "/"));
    if (!response || !succeeded(cupsLastError()))
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

}  // namespace

bool CupsSpooler::writeRawJob(const std::string &printer, const std::string &jobName, std::string_view bytes)
{
    Connection http = connectTo(m_server, m_timeout);
    if (!http)
        return false;
    return submitJob(std::move(http), m_server, m_timeout, printer, jobName, CUPS_FORMAT_RAW, JobOptions(), bytes);
}

bool CupsSpooler::printImage(const std::string &printer, const std::string &jobName, const RgbImage &image)
{
    Connection http = connectTo(m_server, m_timeout);
    if (!http)
        return false;

    const PngEncoder::DotsPerInch resolution = defaultResolution(http.get(), printer);
    const std::string png = PngEncoder::encode(image, resolution);
    if (png.empty())
        return false;
    JobOptions options;
    options.add("print-scaling", "none");
    if (resolution.isKnown())
        options.add("printer-resolution", resolutionText(resolution));
    return submitJob(std::move(http), m_server, m_timeout, printer, jobName, "image/png", options, png);
}
