#pragma once

#include "spooler/RgbImage.h"

#include <chrono>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One printer as the spooler reports it.
struct SpoolerPrinter
{
    SpoolerPrinter() = default;
    // A printer whose only known obstacle, if any, is that it refuses this user.
    SpoolerPrinter(std::string printerName, std::string connectionText, std::string driverName, bool isUsable)
        : name(std::move(printerName))
        , connection(std::move(connectionText))
        , driver(std::move(driverName))
        , usable(isUsable)
        , userAllowed(isUsable)
    {
    }

    std::string name;        // the spooler's printer name
    std::string connection;  // what the selection list shows in its second column
    std::string driver;      // the printer's make and model, compared with the supported model
    bool usable = false;     // accepts jobs from this user
    // Why a printer is not usable, and how it is doing, as the spooler says it.
    bool acceptingJobs = true;  // false: the queue rejects every job
    bool userAllowed = true;    // false: the queue's user lists refuse this user
    std::string stateReasons;   // the spooler's state reasons and message, for people; empty: none
    std::string deviceUri;      // where the spooler sends the printer's jobs, as it says; empty: unknown
};

// Why the spooler could not do what was asked.
struct SpoolerError
{
    enum class Kind {
        None,         // nothing went wrong
        Unreachable,  // the print server can't be reached
        TimedOut,     // the print server did not answer in time
        BadAnswer,    // the print server closed the connection or answered what is no answer
        Refused,      // the print server answered, with an error
    };
    Kind kind = Kind::None;
    std::string reason;  // for people, in the spooler's own words where it gave any

    bool failed() const { return kind != Kind::None; }
};

// The printers a spooler knows, or why it could not list them.
struct PrinterListing
{
    std::vector<SpoolerPrinter> printers;  // in the spooler's own order; empty on failure
    SpoolerError error;                    // set when the listing failed (no printers is no failure)
};

// What the spooler answered to one job.
struct JobSubmission
{
    bool accepted = false;  // the spooler took the whole job
    int jobId = 0;          // its id, when accepted
    std::string refusal;    // why not, in the spooler's own words where it gave any
    // How it failed, when it did: the print server refused the job, or could not be reached or
    // did not answer in time (then the next call will most likely fare no better).
    SpoolerError::Kind failure = SpoolerError::Kind::None;
    // Not accepted because the printer's queue takes no document of this kind: a picture needs a
    // driver that turns pictures into the printer's own commands.
    bool documentUnsupported = false;
};

// What became of a job the spooler accepted.
struct JobProgress
{
    enum class Phase { Pending, Completed, Failed };
    // How far the printer has got with a pending job.
    enum class Stage {
        Queued,       // not started: behind other jobs, held, or the queue is stopped
        Connecting,   // the printer works on it but has not reached its device yet
        Unreachable,  // ... and the spooler reports that the device can't be reached
        Printing,     // the device is taking the job
    };
    Phase phase = Phase::Pending;
    // The spooler's reasons for the job's state, for people; when it could not be asked, why not.
    std::string reasons;
    Stage stage = Stage::Queued;
    // Set when the spooler could not be asked; the job then stays Pending.
    SpoolerError::Kind failure = SpoolerError::Kind::None;
};

// Everything the program asks of the print spooler. The real one talks to CUPS; tests use a fake.
class Spooler
{
public:
    using Clock = std::chrono::steady_clock;
    // For calls that take a time limit: none but the spooler's own.
    static constexpr Clock::time_point kNoLimit = Clock::time_point::max();

    virtual ~Spooler() = default;

    // Every printer the spooler knows, in the spooler's own order, or why it could not say.
    virtual PrinterListing printers() = 0;

    // Hands `bytes` unchanged to `printer` as one raw job named `jobName`.
    virtual JobSubmission submitRawJob(const std::string &printer, const std::string &jobName,
                                       std::string_view bytes) = 0;
    // True when the spooler accepted the whole job.
    bool writeRawJob(const std::string &printer, const std::string &jobName, std::string_view bytes)
    {
        return submitRawJob(printer, jobName, bytes).accepted;
    }

    // Where each of the jobs with these ids stands now, in the same order, answered by `until` at
    // the latest. While the spooler can't be reached a job stays Pending; a job it no longer knows
    // has Failed, since nothing tells that it printed.
    virtual std::vector<JobProgress> jobProgress(const std::vector<int> &jobIds, Clock::time_point until = kNoLimit) = 0;

    // Cancels the job unless it has ended. No error when the spooler confirmed it by `until`;
    // else why not (a job that has ended is refused).
    virtual SpoolerError cancelJob(int jobId, Clock::time_point until = kNoLimit) = 0;

    // The program stops following the job while it is still pending: it waits in the queue, for
    // `reason`. A spooler that keeps a record of the jobs notes it; the spooler itself is not asked.
    virtual void leftQueued(int /*jobId*/, const std::string & /*reason*/) {}

    // Prints `image` on one page of `printer` as one job named `jobName`, through the printer's
    // driver, at one printer dot per pixel from the top-left corner: the spooler is told the
    // printer's resolution and never scales the picture.
    virtual JobSubmission printImage(const std::string &printer, const std::string &jobName,
                                     const RgbImage &image) = 0;

    // True when submitRawJob() may be called from several threads at once, each call on its own.
    virtual bool takesCallsAtOnce() const { return false; }
};
