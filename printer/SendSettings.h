#pragma once

class CommandHost;
class CSendSelectDlg;

// The send command: -1 when nothing was handed to the spooler, 0 otherwise.
namespace SendSettings {
int run(CommandHost &host, CSendSelectDlg &dialog);
}
