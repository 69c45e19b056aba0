#pragma once

class CommandHost;

// The two service commands on the selected printer: the test print (`OnTestPrint`), one page
// with the test-label picture as the job "testprint", and the head check (`OnHeadCheck`), the
// thermal-head disconnection check as the raw job "Setbridge Check".
namespace ServiceCommands {

// Asks first; then prints on whatever printer is selected, "FILE:" included. Reports nothing
// afterwards, not even a failure.
void OnTestPrint(CommandHost &host);

// Asks first; refuses a "FILE:" printer; reports success, or the failure followed by the
// printer selection.
void OnHeadCheck(CommandHost &host);

}  // namespace ServiceCommands
