#include "SendSettings.h"

#include "CSendSelectDlg.h"
#include "CommandHost.h"

namespace SendSettings {
int run(CommandHost &, CSendSelectDlg &) { return -1; }
}
