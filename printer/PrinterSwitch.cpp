#include "PrinterSwitch.h"

#include "CPrinterSelectDlg.h"
#include "CommandHost.h"

namespace PrinterSwitch {
void run(CommandHost &, CPrinterSelectDlg &) {}
}
