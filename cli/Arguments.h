#pragma once

#include "spooler/SettingsJob.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// The command line of sbq740-cli: a command, its options and its files.
namespace Arguments {

enum class Command { Help, Version, Printers, Show, Diff, Send, HeadCheck, Export, Import, Set, History, LastSent, Apply };

struct Invocation
{
    Command command = Command::Help;
    std::optional<Command> helpTopic;  // "sbq740-cli send --help": help for one command
    bool json = false;
    bool yes = false;
    std::optional<SettingsJob::Group> group;
    std::vector<std::string> printers;  // in the order given, each name once, as written
    std::vector<std::string> servers;   // --server HOST[:PORT], in the order given, each once
    bool all = false;                   // send --all: every usable printer of the server(s)
    bool follow = true;                 // false with --no-wait
    std::chrono::milliseconds wait{30000};  // --wait SECONDS: how long each job is followed
    std::vector<std::string> files;
    std::vector<std::string> assignments;  // set: KEY=VALUE, in the order given
    std::optional<std::string> output;     // import, set: -o FILE
    std::optional<std::string> base;       // import: --base FILE
    std::optional<std::string> since;      // history: --since DATE, "YYYY-MM-DD[THH:MM[:SS]][Z]"
    bool dryRun = false;                   // apply --dry-run: check and show, send nothing
    std::optional<std::string> jobsFolder; // apply --dry-run --jobs DIR: each job's bytes as a file
    std::size_t jobs = 8;                  // --jobs N: jobs in flight per print server
};

struct Parsed
{
    std::optional<Invocation> invocation;
    std::string error;  // why the command line was refused, when there is no invocation
};

// `arguments` without the program name.
Parsed parse(const std::vector<std::string> &arguments);

}  // namespace Arguments
