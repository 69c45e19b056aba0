#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// SHA-256 (FIPS 180-4) of a byte string, for the ledger's record of what a job carried: the same
// digest `sha256sum` prints for the job's bytes.
namespace Sha256 {

using Digest = std::array<std::uint8_t, 32>;

Digest of(std::string_view bytes);
// The digest as 64 lower-case hex digits.
std::string hexOf(std::string_view bytes);

}  // namespace Sha256
