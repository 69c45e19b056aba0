#pragma once

class CommandHost;
class CPrinterSelectDlg;

// The switch-printer command, run by the main window at start-up and on the user's command.
namespace PrinterSwitch {
void run(CommandHost &host, CPrinterSelectDlg &dialog);
}
