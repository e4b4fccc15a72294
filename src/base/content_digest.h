#ifndef SCENARIO_BASE_CONTENT_DIGEST_H_
#define SCENARIO_BASE_CONTENT_DIGEST_H_

// A 64-bit digest of some bytes, to tell whether a file's contents changed
// since they were last seen: XXH3 (xxHash's 64-bit hash, seed 0), from
// Debian's libxxhash-dev, used as a header-only library so that the program
// links nothing more and a cross build needs only its one header.
//
// It guards against accidents, not against an adversary: two different
// contents share a digest with a chance of about 2^-64, and nobody edits a
// description to collide on purpose with the file he is replacing. The
// value is the same on every host and in every release of XXH3 (its output
// is frozen), so a digest written down by one build is compared by the
// next.

#include <cstdint>
#include <string_view>

namespace scenario {

std::uint64_t ContentDigest(std::string_view bytes);

}  // namespace scenario

#endif  // SCENARIO_BASE_CONTENT_DIGEST_H_
