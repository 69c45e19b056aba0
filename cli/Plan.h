#pragma once

#include "spooler/SettingsJob.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

// A plan: base settings, the groups to send, and the printers with their own values.
//
//   {"format": "sbq740-plan", "version": 1,
//    "settings": "line3.dat",              a settings file or document, or a document inline
//    "groups": ["fine", "ip"],
//    "printers": [{"printer": "q1@print1:631", "set": {"ip.address": "10.20.30.11"}},
//                 {"printer": "q2@print1:631", "set": {"ip.address": "10.20.30.12"}, "groups": ["ip"]}]}
//
// Paths are relative to the plan's folder. A printer's own "groups" replace the plan's.
namespace Plan {

struct Printer
{
    std::string written;                                     // as the plan names it
    std::vector<std::pair<std::string, std::string>> set;    // key, value, in the order written
    std::vector<SettingsJob::Group> groups;                  // in sending order, each once
};

struct Contents
{
    std::string settingsPath;  // resolved; empty when the settings are inline
    std::string inlineDocument;
    std::vector<Printer> printers;
};

struct Read
{
    std::optional<Contents> contents;
    std::vector<std::string> problems;  // "WHERE: what is wrong", when there are no contents
    bool unreadable = false;            // the file could not be read or is no JSON
};

Read read(const std::string &path);
// The plan in `text`, its paths relative to `folder`.
Read parse(const std::string &text, const std::string &folder);

// "param", "fine", "ip", "issue".
std::string groupName(SettingsJob::Group group);

}  // namespace Plan
