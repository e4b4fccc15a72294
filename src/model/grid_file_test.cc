#include "model/grid_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "model/hex_testing.h"

namespace scenario {
namespace {

// Fills the grid as the line reader does: integers at metres 0 and 1,
// doubles from 2 to E - 2, the last two metres left empty.
LineGrid FilledNormally(std::int32_t e) {
  LineGrid grid;
  grid.Create(e);
  grid.SetInt16(0, 0, 0);
  grid.SetInt16(1, 0, 1);
  for (std::int32_t m = 2; m <= e - 2; ++m) grid.SetDouble(m, 0.5 * m, -1.0);
  return grid;
}

TEST(GridFile, AllXThenAllYWithTypeTags) {
  const std::string image = EncodeGridFile(FilledNormally(5));
  ASSERT_EQ(image.size(), 20u * 5 - 36);
  const std::string x =
      "02 00 00 00 "                    // x(0) integer 0
      "02 00 00 00 "                    // x(1) integer 0
      "05 00 00 00 00 00 00 00 f0 3f "  // x(2) double 1.0
      "05 00 00 00 00 00 00 00 f8 3f "  // x(3) double 1.5
      "00 00 "                          // x(4) empty
      "00 00";                          // x(5) empty
  const std::string y =
      "02 00 00 00 "
      "02 00 01 00 "
      "05 00 00 00 00 00 00 00 f0 bf "
      "05 00 00 00 00 00 00 00 f0 bf "
      "00 00 "
      "00 00";
  EXPECT_EQ(Hex(image), x + " " + y);
}

TEST(GridFile, SizeIs20TimesEMinus36WhenFilledNormally) {
  for (std::int32_t e : {3, 4, 7000, 192700}) {
    SCOPED_TRACE(e);
    EXPECT_EQ(EncodeGridFile(FilledNormally(e)).size(),
              20u * static_cast<std::size_t>(e) - 36);
  }
}

TEST(GridFile, UnfilledGridIsAllEmptyTags) {
  LineGrid grid;
  grid.Create(9);
  EXPECT_EQ(EncodeGridFile(grid), std::string(2 * 10 * 2, '\0'));
  EXPECT_TRUE(EncodeGridFile(LineGrid{}).empty());
}

TEST(GridFile, NegativeIntegersAreTwosComplement) {
  LineGrid grid;
  grid.Create(0);
  grid.SetInt16(0, -2, -32768);
  EXPECT_EQ(Hex(EncodeGridFile(grid)), "02 00 fe ff 02 00 00 80");
}

TEST(GridFile, RoundTrips) {
  LineGrid grid = FilledNormally(50);
  grid.SetDouble(20, -1234.5678, 1e300);
  LineGrid back;
  ASSERT_TRUE(DecodeGridFile(EncodeGridFile(grid), &back));
  ASSERT_TRUE(back.exists());
  ASSERT_EQ(back.size(), 51);
  EXPECT_EQ(back.tag(0), GridTag::kInt16);
  EXPECT_EQ(back.y(1), 1.0);
  EXPECT_EQ(back.tag(20), GridTag::kDouble);
  EXPECT_EQ(back.x(20), -1234.5678);
  EXPECT_EQ(back.tag(49), GridTag::kEmpty);
  EXPECT_EQ(EncodeGridFile(back), EncodeGridFile(grid));
}

TEST(GridFile, PiecesOfALargeGridCoverItOnceAndDecodeToTheSameGrid) {
  // The built-in line's grid: about fifteen blocks, the x and the y half
  // made side by side.
  LineGrid grid = FilledNormally(192700);
  grid.SetDouble(100000, -1234.5678, 1e300);
  const std::size_t size = GridFileSize(grid);
  EXPECT_EQ(size, 20u * 192700 - 36);
  std::string image(size, '\0');
  std::vector<std::uint8_t> times_written(size);
  std::size_t pieces = 0;
  EncodeGridFile(grid, [&](std::uint64_t offset, std::string_view piece) {
    ++pieces;
    ASSERT_LE(offset + piece.size(), size);
    image.replace(offset, piece.size(), piece);
    for (std::size_t i = 0; i < piece.size(); ++i) ++times_written[offset + i];
  });
  EXPECT_GT(pieces, 10u);
  EXPECT_EQ(std::count(times_written.begin(), times_written.end(), 1),
            static_cast<std::ptrdiff_t>(size));
  LineGrid back;
  ASSERT_TRUE(DecodeGridFile(image, &back));
  ASSERT_EQ(back.size(), grid.size());
  for (std::int64_t m = 0; m < grid.size(); ++m) {
    ASSERT_EQ(back.tag(m), grid.tag(m)) << m;
    ASSERT_EQ(back.x(m), grid.x(m)) << m;
    ASSERT_EQ(back.y(m), grid.y(m)) << m;
  }
}

TEST(GridFile, ACreatedGridStartsEmptyAgain) {
  // Creating a grid anew drops what the old one held, whatever the sizes.
  LineGrid grid = FilledNormally(300);
  for (std::int32_t e : {100, 300, 5000}) {
    SCOPED_TRACE(e);
    grid.SetDouble(50, 7.0, 8.0);
    grid.Create(e);
    LineGrid fresh;
    fresh.Create(e);
    EXPECT_EQ(EncodeGridFile(grid), EncodeGridFile(fresh));
    EXPECT_EQ(grid.X(50), 0.0);
  }
}

TEST(GridFile, DecoderRefusesMalformedImages) {
  const std::string good = EncodeGridFile(FilledNormally(5));
  std::string unknown_tag = good;
  unknown_tag[0] = 3;
  // x(5) empty stays, y(5) (the last element) becomes an integer: the
  // element count stays even but the metre's tags differ.
  const std::string mixed_tags =
      good.substr(0, good.size() - 2) + std::string("\x02\0\0\0", 4);
  const std::string odd_count = good + std::string(2, '\0');
  const std::string cases[] = {"",
                               unknown_tag,
                               good.substr(0, good.size() - 1),
                               good.substr(0, 13),  // inside x(2)'s double
                               std::string("\x02\0\x01", 3),
                               odd_count,
                               mixed_tags};
  for (const std::string& image : cases) {
    SCOPED_TRACE(Hex(image.substr(0, 16)));
    LineGrid grid;
    EXPECT_FALSE(DecodeGridFile(image, &grid));
    EXPECT_FALSE(grid.exists());
  }
}

}  // namespace
}  // namespace scenario
