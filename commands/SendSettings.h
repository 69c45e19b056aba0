#pragma once

#include "spooler/JobFollowing.h"

class CommandHost;
class CSendSelectDlg;

// The send command (`OnSendSettings`): one chosen group of settings to the selected printer as
// the raw job "Setbridge Status Write", followed until the printer has it (then the sent copy
// takes the image), it is known to wait in the queue (the user is told why; the sent copy stays),
// or it can't get there (the failure message and the printer selection).
namespace SendSettings {

enum class Result {
    NothingSent,  // cancelled, refused by the send policy, or the IP change not confirmed
    Done,         // sent, or the spooler's failure was reported
};

Result run(CommandHost &host, CSendSelectDlg &dialog, const JobFollowing::Time &time = JobFollowing::systemTime());

// The result as the command gives it to its callers: -1 when nothing was sent, else 0.
int commandResult(Result result);

}  // namespace SendSettings
