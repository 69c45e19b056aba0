#pragma once

#include "spooler/JobFollowing.h"

class CommandHost;
class CSendSelectDlg;

// The send command (`OnSendSettings`): one chosen group of settings to the selected printer as
// the raw job "Setbridge Status Write", followed until the printer has it (then the sent copy
// takes the image), it is known to wait in the queue (the user is told why; the sent copy stays),
// or it can't get there (the failure message and the printer selection).
namespace SendSettings {

inline constexpr int kNothingSent = -1;  // cancelled, refused by a check, or a "FILE:" printer
inline constexpr int kDone = 0;          // sent, or the spooler's failure was reported

int run(CommandHost &host, CSendSelectDlg &dialog, const JobFollowing::Time &time = JobFollowing::systemTime());

}  // namespace SendSettings
