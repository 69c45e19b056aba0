#pragma once

#include "spooler/BoundedCall.h"
#include "spooler/CupsConnections.h"
#include "spooler/CupsServer.h"
#include "spooler/Spooler.h"

#include <cups/cups.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

struct IppDeleter
{
    void operator()(ipp_t *ipp) const { ippDelete(ipp); }
};
using IppMessage = std::unique_ptr<ipp_t, IppDeleter>;

// One conversation with a CUPS scheduler under a deadline: no request starts after it, and no wait
// for the scheduler outlasts it. (A scheduler that drips its answer byte by byte can keep one
// request going past it; callers that must be back on time run the session through BoundedCall.)
// A request counts as answered only by the scheduler's own answer to it: a missing, late or
// broken answer, an HTTP error and an IPP error status are all failures (libcups' last error is
// never taken for an answer). Runs on one thread; libcups keeps its per-thread state there.
// With `connections`, it starts on a connection kept open there when one is idle, and gives its
// own back after a conversation that ended cleanly.
class CupsSession
{
public:
    using Clock = BoundedCall::Clock;

    // `callerGone` tells, at any time, that the result will not be used any more.
    CupsSession(CupsServer server, Clock::time_point deadline, std::function<bool()> callerGone = {},
                std::shared_ptr<CupsConnections> connections = {});
    ~CupsSession();
    CupsSession(const CupsSession &) = delete;
    CupsSession &operator=(const CupsSession &) = delete;

    // Connects to the scheduler; false when it can't be reached in time.
    bool open();
    // The deadline has passed or the caller has gone: nothing more is started.
    bool stopped() const;

    // A request of `operation` addressed to `printer`, on behalf of this user.
    IppMessage newPrinterRequest(ipp_op_t operation, const std::string &printer) const;
    // Sends `request` to `resource`; the scheduler's answer when it reports success, else nothing.
    IppMessage request(IppMessage request, const std::string &resource);

    // Creates a job on `printer` with `attributes` added to the request; its id, or 0. The answer is
    // waited for a little past the deadline, even when the caller has gone: a job the scheduler
    // made must be known to be cancelled.
    int createJob(const std::string &printer, const std::string &jobName, const cups_option_t *options,
                  int optionCount);
    // Sends the job's one document; true when the scheduler said it accepted it.
    bool sendDocument(const std::string &printer, int jobId, const std::string &jobName, const char *format,
                      std::string_view document);

    const CupsServer &server() const { return m_server; }
    // Why the last request or document failed, in the scheduler's words where it gave any.
    const SpoolerError &lastError() const { return m_error; }
    const std::string &lastRefusal() const { return m_error.reason; }
    // The IPP status of the last answer the scheduler gave; IPP_STATUS_OK before any.
    ipp_status_t lastStatus() const { return m_status; }

private:
    void noteFailure(ipp_t *response);
    void fail(SpoolerError::Kind kind, std::string reason);

    // No wait for the scheduler goes on: past the deadline (or the late-answer allowance), or the
    // caller has gone.
    bool waitOver() const;
    static int keepWaiting(http_t *, void *session);
    void armTimeout();
    // The connection is idle after whole answers to requests that succeeded, in time.
    bool endedCleanly() const;

    CupsServer m_server;
    Clock::time_point m_deadline;
    std::function<bool()> m_callerGone;
    std::shared_ptr<CupsConnections> m_connections;
    bool m_awaitingLateAnswer = false;
    http_t *m_http = nullptr;
    SpoolerError m_error;
    ipp_status_t m_status = IPP_STATUS_OK;
};

// How long past the deadline a Create-Job answer is still waited for.
inline constexpr std::chrono::milliseconds kLateCreateAnswer{5000};
// How long cancelling a job may take, on a connection of its own.
inline constexpr std::chrono::milliseconds kCancelTime{3000};

// Why a call that ran out of time without a word from the scheduler failed.
inline constexpr char kNoAnswerInTime[] = "no answer from the print server in time";

// Cancels `jobId` on its own connection, by `until`: the connection that carried a refused
// document may be broken, and the caller's deadline may have passed already. True when the
// scheduler confirmed it; else why not (a job that has ended can't be cancelled).
SpoolerError cancelCupsJob(const CupsServer &server, int jobId, CupsSession::Clock::time_point until);
