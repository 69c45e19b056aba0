#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

class Spooler;
class Spoolers;

// sbq740-cli as a function: runs the command line `arguments` (without the program name) against
// the print spoolers it can reach, writes results to `out` and messages to `err`, and returns the
// exit code. `interrupted` tells when the user has asked to stop (Ctrl-C).
int runCli(const std::vector<std::string> &arguments, Spoolers &spoolers, std::ostream &out, std::ostream &err,
           std::function<bool()> interrupted = [] { return false; });

// The same against one spooler, the configured print server's; no other server is reachable.
int runCli(const std::vector<std::string> &arguments, Spooler &spooler, std::ostream &out, std::ostream &err);
