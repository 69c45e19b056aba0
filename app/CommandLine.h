#pragma once

#include <string>
#include <vector>

// What the command line asks of a start, decided from the raw arguments before anything else
// sees them. Registration switches end at once; the component-server switches end at once too,
// without a window, since the program serves nothing. Anything else (a file name, other
// switches, options meant for a toolkit) is ignored.
namespace CommandLine {

enum class Start {
    Normal,
    Register,         // "RegServer": the rest of the command line after "-" or "/" is exactly it
    Unregister,       // "UnregServer", likewise
    ComponentServer,  // "Embedding" or "Automation" as a separate "-" or "/" argument
};

// `arguments` is the whole command line as the system passed it, the program's path first.
Start parse(const std::vector<std::string> &arguments);

}  // namespace CommandLine
