#include "model/zeroed_allocator.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

namespace scenario {
namespace {

// Sizes on both sides of the one from which blocks are mapped on their own,
// and one that is not a whole number of huge pages.
TEST(ZeroedAllocator, EveryBlockReadsZeroAndHoldsWhatIsWritten) {
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  for (std::size_t bytes : {std::size_t{0}, std::size_t{1}, 2 * kMiB - 8,
                            2 * kMiB, 2 * kMiB + 8, 17 * kMiB + 24}) {
    SCOPED_TRACE(bytes);
    const std::size_t n = bytes / sizeof(double);
    std::vector<double, ZeroedAllocator<double>> v(n);
    for (std::size_t i = 0; i < n; i += 4096 / sizeof(double)) {
      ASSERT_EQ(v[i], 0.0);
    }
    if (n == 0) continue;
    EXPECT_EQ(v.back(), 0.0);
    v.front() = 1.5;
    v.back() = -2.5;
    // Growing copies into a new block and gives the old one back.
    v.resize(n + 1);
    EXPECT_EQ(v.front(), 1.5);
    EXPECT_EQ(v[n - 1], -2.5);
    EXPECT_EQ(v[n], 0.0);
  }
}

TEST(ZeroedAllocator, AnImpossibleSizeIsRefused) {
  ZeroedAllocator<std::uint64_t> allocator;
  EXPECT_THROW(allocator.allocate(SIZE_MAX / 4), std::bad_alloc);
  EXPECT_THROW(allocator.allocate(SIZE_MAX / 8 - 1), std::bad_alloc);
}

}  // namespace
}  // namespace scenario
