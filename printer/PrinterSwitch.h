#pragma once

class CommandHost;
class CPrinterSelectDlg;

// The switch-printer command (`OnSwitchPrinter`), run by the main window at start-up (with the
// dialog's m_bStarted at 0) and later on the user's command or after a failed spooler call.
namespace PrinterSwitch {
void run(CommandHost &host, CPrinterSelectDlg &dialog);
}
