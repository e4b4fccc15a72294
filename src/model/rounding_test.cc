#include "model/rounding.h"

#include <gtest/gtest.h>

namespace scenario {
namespace {

TEST(Rounding, RatioHalvesGoToEven) {
  struct Case {
    std::int64_t num, den, want;
  };
  constexpr Case kCases[] = {
      {25, 50, 0},     {75, 50, 2},  {125, 50, 2},  {7025, 50, 140},
      {7075, 50, 142}, {-25, 50, 0}, {-75, 50, -2}, {-26, 50, -1},
      {24, 50, 0},     {26, 50, 1},  {0, 50, 0},    {-50, 50, -1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.num) + "/" + std::to_string(c.den));
    EXPECT_EQ(RoundRatio(c.num, c.den), c.want);
  }
}

TEST(Rounding, ItemCellRoundsTheWholeExpression) {
  // 425 / 50 + 1 = 9.5 -> 10; 475 / 50 + 1 = 10.5 -> 10.
  EXPECT_EQ(ItemCell(425), 10);
  EXPECT_EQ(ItemCell(475), 10);
  EXPECT_EQ(ItemCell(25), 2);
  EXPECT_EQ(ItemCell(75), 2);
  EXPECT_EQ(ItemCell(28000), 561);
  EXPECT_EQ(FillCell(7050), 141);
}

TEST(Rounding, RealValuesHalvesToEven) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(2.6), 3);
}

}  // namespace
}  // namespace scenario
