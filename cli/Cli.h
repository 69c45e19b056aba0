#pragma once

#include <ostream>
#include <string>
#include <vector>

class Spooler;

// sbq740-cli as a function: runs the command line `arguments` (without the program name) against
// `spooler`, writes results to `out` and messages to `err`, and returns the exit code.
int runCli(const std::vector<std::string> &arguments, Spooler &spooler, std::ostream &out, std::ostream &err);
