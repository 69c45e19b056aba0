#include "CupsSpooler.h"

#include "BoundedCall.h"
#include "ConnectionText.h"
#include "CupsSession.h"
#include "PngEncoder.h"
#include "UserAccess.h"

#include <cups/cups.h>

#include <array>
#include <cmath>

namespace {

using Clock = BoundedCall::Clock;

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

CupsSpooler::CupsSpooler(std::chrono::milliseconds deadline)
    : CupsSpooler(configuredServer(), deadline)
{
}

CupsSpooler::CupsSpooler(Server server, std::chrono::milliseconds deadline)
    : m_server(std::move(server))
    , m_deadline(deadline)
{
}

CupsSpooler::Server CupsSpooler::configuredServer()
{
    return {cupsServer(), ippPort()};
}

namespace {

std::vector<PrinterAttributes> listPrinters(CupsSession &session)
{
    IppMessage request(ippNewRequest(IPP_OP_CUPS_GET_PRINTERS));
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(kRequestedAttributes.size()), nullptr, kRequestedAttributes.data());
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    // A scheduler with no printers answers "not found"; any failure lists nothing.
    const IppMessage response = session.request(std::move(request), "/");
    return response ? printersIn(response.get()) : std::vector<PrinterAttributes>{};
}

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

// One job holding one document of `format`. Accepted only when the scheduler answered the
// document's upload with success and the caller still waits for the result. A job that was
// created but not accepted so is cancelled, so that nothing the caller was told failed prints.
void submitJob(BoundedCall::Handoff<bool> &handoff, CupsSession &session, const std::string &printer,
               const std::string &jobName, const char *format, const JobOptions &options, std::string_view document)
{
    const int jobId = session.createJob(printer, jobName, options.options(), options.count());
    if (jobId <= 0) {
        handoff.deliver(false);
        return;
    }
    const bool accepted = !session.stopped() && session.sendDocument(printer, jobId, jobName, format, document);
    if (!handoff.deliver(accepted) || !accepted)
        cancelCupsJob(session.server(), printer, jobId);
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

std::vector<SpoolerPrinter> CupsSpooler::printers()
{
    const Clock::time_point deadline = Clock::now() + m_deadline;
    const auto listed = BoundedCall::run<std::vector<PrinterAttributes>>(
        deadline, [server = m_server, deadline](BoundedCall::Handoff<std::vector<PrinterAttributes>> &handoff) {
            CupsSession session(server, deadline, [&handoff] { return handoff.abandoned(); });
            handoff.deliver(listPrinters(session));
        });
    if (!listed)
        return {};

    const UserAccess::User user = UserAccess::currentUser(cupsUser());
    std::vector<SpoolerPrinter> result;
    for (const PrinterAttributes &printer : *listed)
        result.push_back(toSpoolerPrinter(printer, user));
    return result;
}

bool CupsSpooler::writeRawJob(const std::string &printer, const std::string &jobName, std::string_view bytes)
{
    const Clock::time_point deadline = Clock::now() + m_deadline;
    const auto accepted = BoundedCall::run<bool>(
        deadline, [server = m_server, deadline, printer, jobName, document = std::string(bytes)](
                      BoundedCall::Handoff<bool> &handoff) {
            CupsSession session(server, deadline, [&handoff] { return handoff.abandoned(); });
            submitJob(handoff, session, printer, jobName, CUPS_FORMAT_RAW, JobOptions(), document);
        });
    return accepted.value_or(false);
}

bool CupsSpooler::printImage(const std::string &printer, const std::string &jobName, const RgbImage &image)
{
    const Clock::time_point deadline = Clock::now() + m_deadline;
    const auto accepted = BoundedCall::run<bool>(
        deadline, [server = m_server, deadline, printer, jobName, image](BoundedCall::Handoff<bool> &handoff) {
            CupsSession session(server, deadline, [&handoff] { return handoff.abandoned(); });
            const PngEncoder::DotsPerInch resolution = defaultResolution(session, printer);
            const std::string png = PngEncoder::encode(image, resolution);
            if (png.empty() || session.stopped()) {
                handoff.deliver(false);
                return;
            }
            JobOptions options;
            addImageOptions(options, resolution);
            submitJob(handoff, session, printer, jobName, "image/png", options, png);
        });
    return accepted.value_or(false);
}
