#pragma once

#include <string>
#include <string_view>

// The SHA-256 digest of bytes (FIPS 180-4), as 64 lower-case hex digits: what a job's bytes are
// known by.
namespace Sha256 {

std::string hex(std::string_view bytes);

}  // namespace Sha256
