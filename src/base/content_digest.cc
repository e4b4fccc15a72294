#include "base/content_digest.h"

// Header-only: every function of the library is inlined into this file,
// which alone includes it, and no library is linked.
#define XXH_INLINE_ALL
#include <xxhash.h>

namespace scenario {

std::uint64_t ContentDigest(std::string_view bytes) {
  return XXH3_64bits(bytes.data(), bytes.size());
}

}  // namespace scenario
