#pragma once

#include "spooler/SettingsJob.h"

#include <string>
#include <string_view>

// The fields a settings job carries, as the "fields" object of a settings document
// (sbq740-cli export, import): each field of the group with its value as the page shows it and its
// bytes, so that the document gives back exactly the bytes that were sent.
namespace GroupFragment {

// "param", "fine", "ip", "issue": the key the command line names the group by.
std::string_view nameOf(SettingsJob::Group group);

// The "fields" object for the settings job `job` (SettingsJob::build) of `group`.
std::string ofJob(SettingsJob::Group group, std::string_view job);

}  // namespace GroupFragment
