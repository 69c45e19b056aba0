#pragma once

#include "spooler/JobFollowing.h"

class CommandHost;

// The two service commands on the selected printer: the test print (`OnTestPrint`), one page
// with the test-label picture as the job "testprint", and the head check (`OnHeadCheck`), the
// thermal-head disconnection check as the raw job "Setbridge Check".
namespace ServiceCommands {

// Asks first; then prints on whatever printer is selected, "FILE:" included. Reports nothing
// afterwards, not even a failure, except that a queue without a driver for pictures can't print
// the label at all: the user is told that it needs the maker's driver.
void OnTestPrint(CommandHost &host);

// Asks first; refuses a "FILE:" printer; follows the job and reports that the printer has it,
// that it waits in the queue and why, or the failure followed by the printer selection.
void OnHeadCheck(CommandHost &host, const JobFollowing::Time &time = JobFollowing::systemTime());

}  // namespace ServiceCommands
