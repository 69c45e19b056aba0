#pragma once

class CommandHost;
class CSendSelectDlg;

// The send command (`OnSendSettings`): one chosen group of settings to the selected printer as
// the raw job "Setbridge Status Write".
namespace SendSettings {

inline constexpr int kNothingSent = -1;  // cancelled, refused by a check, or a "FILE:" printer
inline constexpr int kDone = 0;          // sent, or the spooler's failure was reported

int run(CommandHost &host, CSendSelectDlg &dialog);

}  // namespace SendSettings
