#ifndef SCENARIO_BASE_SHA256_TESTING_H_
#define SCENARIO_BASE_SHA256_TESTING_H_

// Test-only: the SHA-256 digest of some bytes, for tests that pin whole
// files to the digests of a known-good build. GLib computes it; only the
// tests that need it link GLib (the system's CNG on Windows).

#include <string>
#include <string_view>

namespace scenario {

// The digest as 64 lower-case hex digits, as sha256sum prints it.
std::string Sha256Hex(std::string_view bytes);

}  // namespace scenario

#endif  // SCENARIO_BASE_SHA256_TESTING_H_
