#pragma once

// What sbq740-cli's exit code tells a script.
namespace ExitCode {

inline constexpr int kOk = 0;                // done; files equal; every job was delivered
inline constexpr int kNotAll = 1;            // files differ; a job was not delivered; no usable printer;
                                             // an exported file holds fields the pages would not reproduce
inline constexpr int kNotASettingsFile = 2;  // a file is missing, unreadable, not a settings file or
                                             // document, or can't be written
inline constexpr int kRefused = 3;           // the settings were refused; nothing was sent or written
inline constexpr int kUsage = 64;            // the command line was wrong
inline constexpr int kInterrupted = 130;     // stopped by Ctrl-C before every printer was addressed

}  // namespace ExitCode
