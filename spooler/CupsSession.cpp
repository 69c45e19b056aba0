#include "spooler/CupsSession.h"

#include <sys/socket.h>

#include <algorithm>

namespace {

// No one can type a password for a background request: refuse at once.
const char *noPassword(const char *, http_t *, const char *, const char *, void *)
{
    return nullptr;
}

bool succeeded(const ipp_t *response)
{
    return response && ippGetStatusCode(const_cast<ipp_t *>(response)) <= IPP_STATUS_OK_EVENTS_COMPLETE;
}

int remainingMilliseconds(CupsSession::Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - CupsSession::Clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 1));
}

}  // namespace

CupsSession::CupsSession(CupsServer server, Clock::time_point deadline, std::function<bool()> callerGone,
                         std::shared_ptr<CupsConnections> connections)
    : m_server(std::move(server))
    , m_deadline(deadline)
    , m_callerGone(std::move(callerGone))
    , m_connections(std::move(connections))
{
    cupsSetPasswordCB2(noPassword, nullptr);  // libcups keeps this per thread
}

CupsSession::~CupsSession()
{
    if (!m_http)
        return;
    if (m_connections && endedCleanly())
        m_connections->keep(m_http);
    else
        httpClose(m_http);
}

bool CupsSession::endedCleanly() const
{
    // (A scheduler that closes the connection after its answer is found out when the
    // connection is next taken: it reads as ended.)
    return !m_error.failed() && !m_awaitingLateAnswer && !stopped() && httpGetState(m_http) == HTTP_STATE_WAITING;
}

bool CupsSession::stopped() const
{
    return Clock::now() >= m_deadline || (m_callerGone && m_callerGone());
}

bool CupsSession::waitOver() const
{
    if (m_awaitingLateAnswer)
        return Clock::now() >= m_deadline + kLateCreateAnswer;
    return stopped();
}

int CupsSession::keepWaiting(http_t *, void *session)
{
    return static_cast<const CupsSession *>(session)->waitOver() ? 0 : 1;
}

bool CupsSession::open()
{
    if (m_http)
        return true;
    if (stopped()) {
        fail(SpoolerError::Kind::TimedOut, "no answer from the print server in time");
        return false;
    }
    if (m_connections)
        m_http = m_connections->take();
    if (m_http)
        return true;
    m_http = httpConnect2(m_server.host.c_str(), m_server.port, nullptr, AF_UNSPEC, cupsEncryption(), 1,
                          remainingMilliseconds(m_deadline), nullptr);
    if (!m_http) {
        fail(SpoolerError::Kind::Unreachable, "the print server can't be reached");
        return false;
    }
    return !stopped();
}

void CupsSession::armTimeout()
{
    // libcups takes the timeout as the longest wait for any one read, and while it reads an
    // answer's IPP body it gives up after that long without asking the callback. So every wait
    // of a request may last as long as the conversation has left, never longer; the callback
    // ends a wait that reaches the deadline. The timeout stays when libcups reconnects.
    const Clock::time_point waitEnds = m_awaitingLateAnswer ? m_deadline + kLateCreateAnswer : m_deadline;
    const double left = std::chrono::duration<double>(waitEnds - Clock::now()).count();
    httpSetTimeout(m_http, std::max(left, 0.001), keepWaiting, this);
}

IppMessage CupsSession::newPrinterRequest(ipp_op_t operation, const std::string &printer) const
{
    char uri[HTTP_MAX_URI];
    const int port = m_server.port > 0 ? m_server.port : 631;
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", port, "/printers/%s",
                     printer.c_str());
    IppMessage request(ippNewRequest(operation));
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    return request;
}

IppMessage CupsSession::request(IppMessage request, const std::string &resource)
{
    if (!open())
        return nullptr;
    armTimeout();
    // A late answer still counts: what it reports has happened at the scheduler.
    IppMessage response(cupsDoRequest(m_http, request.release(), resource.c_str()));
    if (!succeeded(response.get())) {
        noteFailure(response.get());
        return nullptr;
    }
    m_status = ippGetStatusCode(response.get());
    return response;
}

int CupsSession::createJob(const std::string &printer, const std::string &jobName, const cups_option_t *options,
                           int optionCount)
{
    IppMessage create = newPrinterRequest(IPP_OP_CREATE_JOB, printer);
    // The job's language is the one its backend speaks in the printer's state messages, which tell
    // whether the device can be reached: English, whatever this user's locale.
    ipp_attribute_t *language = ippFindAttribute(create.get(), "attributes-natural-language", IPP_TAG_LANGUAGE);
    ippSetString(create.get(), &language, 0, "en");
    ippAddString(create.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, jobName.c_str());
    auto *writable = const_cast<cups_option_t *>(options);
    cupsEncodeOptions2(create.get(), optionCount, writable, IPP_TAG_OPERATION);
    cupsEncodeOptions2(create.get(), optionCount, writable, IPP_TAG_JOB);
    m_awaitingLateAnswer = true;
    const IppMessage response = request(std::move(create), "/printers/" + printer);
    m_awaitingLateAnswer = false;
    ipp_attribute_t *jobId = response ? ippFindAttribute(response.get(), "job-id", IPP_TAG_INTEGER) : nullptr;
    return jobId ? ippGetInteger(jobId, 0) : 0;
}

bool CupsSession::sendDocument(const std::string &printer, int jobId, const std::string &jobName,
                               const char *format, std::string_view document)
{
    if (!open())
        return false;
    IppMessage send = newPrinterRequest(IPP_OP_SEND_DOCUMENT, printer);
    ippAddInteger(send.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
    ippAddString(send.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "document-name", nullptr, jobName.c_str());
    ippAddString(send.get(), IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr, format);
    ippAddBoolean(send.get(), IPP_TAG_OPERATION, "last-document", 1);

    const std::string resource = "/printers/" + printer;
    armTimeout();
    if (cupsSendRequest(m_http, send.get(), resource.c_str(), CUPS_LENGTH_VARIABLE) != HTTP_STATUS_CONTINUE
        || cupsWriteRequestData(m_http, document.data(), document.size()) != HTTP_STATUS_CONTINUE) {
        fail(SpoolerError::Kind::BadAnswer, "the print server took the job but not its document");
        return false;
    }
    // The scheduler's answer to this upload decides; no answer in time is no acceptance.
    const IppMessage response(cupsGetResponse(m_http, resource.c_str()));
    if (httpGetStatus(m_http) == HTTP_STATUS_OK && succeeded(response.get()))
        return true;
    noteFailure(response.get());
    return false;
}

void CupsSession::noteFailure(ipp_t *response)
{
    if (!response) {
        if (stopped())
            fail(SpoolerError::Kind::TimedOut, "no answer from the print server in time");
        else
            fail(SpoolerError::Kind::BadAnswer, "the print server gave no answer");
        return;
    }
    m_status = ippGetStatusCode(response);
    std::string reason = ippErrorString(m_status);
    ipp_attribute_t *message = ippFindAttribute(response, "status-message", IPP_TAG_TEXT);
    if (const char *text = message ? ippGetString(message, 0, nullptr) : nullptr; text && *text)
        reason += std::string(": ") + text;
    fail(SpoolerError::Kind::Refused, std::move(reason));
}

void CupsSession::fail(SpoolerError::Kind kind, std::string reason)
{
    m_error = {kind, std::move(reason)};
}

SpoolerError cancelCupsJob(const CupsServer &server, int jobId, CupsSession::Clock::time_point until)
{
    CupsSession session(server, until);
    IppMessage cancel(ippNewRequest(IPP_OP_CANCEL_JOB));
    const std::string uri = "ipp://localhost/jobs/" + std::to_string(jobId);
    ippAddString(cancel.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    ippAddString(cancel.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    if (session.request(std::move(cancel), "/jobs/"))
        return {};
    if (session.lastError().failed())
        return session.lastError();
    return {SpoolerError::Kind::TimedOut, kNoAnswerInTime};
}
