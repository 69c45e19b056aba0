#pragma once

#include "spooler/JobFollowing.h"

#include <string>

class CommandHost;

// A raw job from a window command (the send, the head check) to the selected printer, followed
// until it is known what became of it (JobFollowing), and what the user is told about that.
namespace FollowedJob {

// What the user reads when the job has arrived, and when it waits in the queue (with "%s" for
// the spooler's reason).
struct Texts
{
    const char *delivered;
    const char *waiting;
};

// Sends and follows the job; the wait cursor shows all the while.
JobOutcome send(CommandHost &host, const std::string &jobName, const std::string &bytes,
                const JobFollowing::Time &time);

// Tells the outcome: the delivered text, the waiting text with the reason, or (unreachable,
// failed) the printer-unavailable message with the spooler's reason to unfold, then the printer
// selection, which keeps the edits. True when the job was delivered.
bool report(CommandHost &host, const JobOutcome &outcome, const Texts &texts);

}  // namespace FollowedJob
