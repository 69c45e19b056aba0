#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The raw job that starts the printer's thermal-head disconnection check: the command, then NUL
// bytes up to 260, whatever the command's length. The printer shows the outcome on its display.
namespace HeadCheckJob {

inline constexpr std::size_t kSize = 260;
inline constexpr std::string_view kCommand{"\x1bHD001,A\n", 9};

std::string build();

}  // namespace HeadCheckJob
