#pragma once

#include "cli/Arguments.h"

#include <optional>
#include <string_view>

// The help of sbq740-cli: the whole program's, or one command's.
namespace HelpText {

std::string_view of(std::optional<Arguments::Command> command);

}  // namespace HelpText
