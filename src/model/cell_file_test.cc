#include "model/cell_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "model/hex_testing.h"

namespace scenario {
namespace {

TrackCell Sample() {
  TrackCell c;
  c.kind = kKindSignal;
  c.w2 = 0x0102;
  c.w4 = -1;
  c.w6 = -32768;
  c.w8 = 32767;
  c.b10 = 0xfe;
  c.b11 = 33;
  c.mountain = 2;
  c.speed_step = 24;
  c.gradient = 112;
  c.adhesion = 255;
  return c;
}

TEST(CellFile, CellIsPackedFieldByField) {
  char buf[kCellSize];
  EncodeCell(Sample(), buf);
  EXPECT_EQ(Hex(std::string_view(buf, kCellSize)),
            "01 02 01 ff ff 00 80 ff 7f fe 21 02 18 70 ff");
}

TEST(CellFile, HeaderWordsStandAtOffsets16To19) {
  TrackCells cells;
  cells.Create(140);  // a line of length 0
  cells[1].w2 = 5121;
  cells[1].w4 = 2352;
  const std::string image = EncodeCellFile(cells);
  ASSERT_EQ(image.size(), 15u * 141);
  EXPECT_EQ(Hex(image.substr(kHeaderMarkOffset, 4)), "01 14 30 09");
  // Everything else is zero.
  std::string rest = image;
  rest.replace(16, 4, 4, '\0');
  EXPECT_EQ(rest, std::string(image.size(), '\0'));
}

TEST(CellFile, MissingArrayGivesEmptyImage) {
  EXPECT_TRUE(EncodeCellFile(TrackCells{}).empty());
}

TEST(CellFile, RoundTrips) {
  TrackCells cells;
  cells.Create(3);
  cells[0] = Sample();
  cells[3] = Sample();
  cells[3].kind = kKindIndicatorBoard;
  cells[2].w6 = -5;
  std::vector<TrackCell> back;
  ASSERT_TRUE(DecodeCellFile(EncodeCellFile(cells), &back));
  ASSERT_EQ(back.size(), 4u);
  for (std::size_t i = 0; i < back.size(); ++i) {
    SCOPED_TRACE(i);
    char want[kCellSize], got[kCellSize];
    EncodeCell(cells[static_cast<std::int64_t>(i)], want);
    EncodeCell(back[i], got);
    EXPECT_EQ(std::string_view(got, kCellSize),
              std::string_view(want, kCellSize));
  }
  EXPECT_EQ(back[0].w6, -32768);
  EXPECT_EQ(back[2].w6, -5);
}

TEST(CellFile, DecoderRefusesPartialCells) {
  std::vector<TrackCell> cells;
  for (std::size_t size : {0u, 1u, 14u, 16u, 29u, 31u}) {
    SCOPED_TRACE(size);
    EXPECT_FALSE(DecodeCellFile(std::string(size, '\0'), &cells));
  }
  EXPECT_TRUE(DecodeCellFile(std::string(30, '\0'), &cells));
  EXPECT_EQ(cells.size(), 2u);
}

}  // namespace
}  // namespace scenario
