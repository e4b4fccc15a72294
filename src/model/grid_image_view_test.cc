#include "model/grid_image_view.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "model/grid_file.h"

namespace scenario {
namespace {

// Bytes from hex pairs: "02 00 fe ff".
std::string Bytes(const char* hex) {
  std::string out;
  unsigned value = 0;
  int digits = 0;
  for (const char* p = hex; *p != '\0'; ++p) {
    if (*p == ' ') continue;
    value = value * 16 +
            static_cast<unsigned>(*p <= '9' ? *p - '0' : *p - 'a' + 10);
    if (++digits == 2) {
      out.push_back(static_cast<char>(value));
      value = 0;
      digits = 0;
    }
  }
  return out;
}

struct ViewCase {
  const char* name;
  const char* hex;
  bool opens;
  std::vector<GridMetre> metres;  // when it opens
};

TEST(GridImageView, ReadsTheImagesTheDecoderTakesAndRefusesTheOthers) {
  const ViewCase kCases[] = {
      {"no bytes", "", false, {}},
      {"one empty metre", "00 00 00 00", true, {{GridTag::kEmpty, 0, 0}}},
      {"integers, negative ones two's complement",
       "02 00 00 00 02 00 fe ff 02 00 01 00 02 00 00 80",
       true,
       {{GridTag::kInt16, 0, 1}, {GridTag::kInt16, -2, -32768}}},
      {"doubles beside an empty metre",
       "05 00 00 00 00 00 00 00 f8 3f 00 00 "
       "05 00 00 00 00 00 00 00 f0 bf 00 00",
       true,
       {{GridTag::kDouble, 1.5, -1.0}, {GridTag::kEmpty, 0, 0}}},
      {"unknown tag", "03 00 00 00", false, {}},
      {"cut tag", "00 00 00", false, {}},
      {"cut integer", "00 00 02 00 01", false, {}},
      {"cut double", "00 00 05 00 00 00 00 00 00 00 f0", false, {}},
      {"odd element count", "00 00 00 00 00 00", false, {}},
      {"x and y of different types", "00 00 02 00 00 00", false, {}},
  };
  for (const ViewCase& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string image = Bytes(c.hex);
    GridImageView view;
    ASSERT_EQ(GridImageView::Open(image, &view), c.opens);
    LineGrid decoded;
    EXPECT_EQ(DecodeGridFile(image, &decoded), c.opens);
    if (!c.opens) {
      EXPECT_EQ(view.size(), 0);
      continue;
    }
    ASSERT_EQ(view.size(), static_cast<std::int64_t>(c.metres.size()));
    GridMetreCursor cursor = view.Begin();
    for (const GridMetre& want : c.metres) {
      const GridMetre got = cursor.Next();
      EXPECT_EQ(got.tag, want.tag);
      EXPECT_EQ(got.x, want.x);
      EXPECT_EQ(got.y, want.y);
    }
  }
}

TEST(GridImageView, WalksAnEncodedGridAsTheGridHoldsIt) {
  LineGrid grid;
  grid.Create(40);
  grid.SetInt16(0, 0, 0);
  grid.SetInt16(1, 0, 1);
  for (std::int64_t m = 2; m <= 38; ++m) {
    grid.SetDouble(m, 0.25 * static_cast<double>(m), -1e300);
  }
  const std::string image = EncodeGridFile(grid);
  GridImageView view;
  ASSERT_TRUE(GridImageView::Open(image, &view));
  ASSERT_EQ(view.size(), grid.size());
  GridMetreCursor cursor = view.Begin();
  for (std::int64_t m = 0; m < grid.size(); ++m) {
    const GridMetre got = cursor.Next();
    ASSERT_EQ(got.tag, grid.tag(m)) << m;
    ASSERT_EQ(got.x, grid.x(m)) << m;
    ASSERT_EQ(got.y, grid.y(m)) << m;
  }
}

}  // namespace
}  // namespace scenario
