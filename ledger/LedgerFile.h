#pragma once

#include <optional>
#include <string>
#include <vector>

// The ledger's file: JSON Lines, one line per record, shared by every program that writes to it.
namespace LedgerFile {

// $SBQ740_LEDGER; else $XDG_STATE_HOME/sbq740/sent.jsonl; else ~/.local/state/sbq740/sent.jsonl.
// Empty when none of them can be made out (no home folder).
std::string location();

// Appends `line` (without its LF) as one whole line: the file opened for appending, locked
// exclusively, and the line written with one write, so lines of programs writing at once never
// mix. A file whose last line was cut short (a writer that crashed) gets an LF first, so the cut
// line spoils no other. Missing folders are made, readable by the user only. Why not, when the
// line could not be written.
std::optional<std::string> append(const std::string &path, const std::string &line);

struct Contents
{
    bool missing = false;               // there is no ledger yet: nothing was recorded
    std::optional<std::string> error;   // it could not be read
    std::vector<std::string> lines;     // the whole lines, oldest first, each without its LF
    std::vector<std::size_t> lineNumbers;  // each line's number in the file, from 1
    std::vector<std::string> warnings;  // lines skipped, and why
};

// The ledger's whole lines; a last line cut short is skipped, with a warning.
Contents read(const std::string &path);

}  // namespace LedgerFile
