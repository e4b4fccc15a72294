#include "base/content_digest.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace scenario {
namespace {

// A build record written by one build is read by the next, maybe of
// another release: the digest of given bytes must never move.
TEST(ContentDigest, IsXxh3WithSeedZero) {
  EXPECT_EQ(ContentDigest(""), 0x2D06800538D394C2u);
}

// What the build record relies on: one bit flipped anywhere, or a byte
// added, gives another digest; the same bytes give the same one.
TEST(ContentDigest, EveryOneBitEditIsSeen) {
  std::string bytes(1000, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<char>(i * 7 + 3);
  }
  const std::uint64_t original = ContentDigest(bytes);
  EXPECT_EQ(ContentDigest(std::string(bytes)), original);
  std::set<std::uint64_t> seen = {original};
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::string edited = bytes;
    edited[i] = static_cast<char>(edited[i] ^ (1 << (i % 8)));
    EXPECT_TRUE(seen.insert(ContentDigest(edited)).second) << "byte " << i;
  }
  EXPECT_TRUE(seen.insert(ContentDigest(bytes + '\0')).second);
}

}  // namespace
}  // namespace scenario
