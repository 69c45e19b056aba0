#pragma once

#include "host/CommandHost.h"

class CPrinterSelectDlg;

// The switch-printer command (`OnSwitchPrinter`), run by the main window at start-up (with the
// dialog's m_bStarted at 0) and later on the user's command or after a failed spooler call.
// Only the user's own command resets the settings to factory values after a choice. When a
// later selection finds no usable printer the program still ends with exit code 1, but not
// before the user could keep the edits.
namespace PrinterSwitch {
void run(CommandHost &host, CPrinterSelectDlg &dialog, CommandHost::SwitchReason reason);
}
