#include "model/kilometre_axis.h"

#include <gtest/gtest.h>

#include "model/param_table.h"

namespace scenario {
namespace {

ParamTable WithRecords(std::int32_t s81, std::int32_t o81, std::int32_t s82,
                       std::int32_t o82, std::int32_t s83, std::int32_t o83) {
  ParamTable t;
  t[81].long1 = s81;
  t[81].long2 = o81;
  t[82].long1 = s82;
  t[82].long2 = o82;
  t[83].long1 = s83;
  t[83].long2 = o83;
  return t;
}

TEST(KilometreAxis, ReadingsFollowTheRecordInForce) {
  // The built-in line: from 31100 on, readings run 3050 m ahead.
  const KilometreAxis builtin(WithRecords(31100, 3050, 0, 0, 0, 0));
  // Two records, out of order, one behind (negative offset).
  const KilometreAxis two(WithRecords(9000, -1000, 4000, 200, 0, 0));
  // All starts 0, an offset only: it holds from the start.
  const KilometreAxis offset_only(WithRecords(0, 300, 0, 0, 0, 0));
  struct Case {
    const KilometreAxis* axis;
    double position;
    double reading;
  };
  const Case kCases[] = {
      {&builtin, 0, 0},         {&builtin, 28000, 28000},
      {&builtin, 31099, 31099}, {&builtin, 31100, 34150},
      {&builtin, 56950, 60000}, {&two, 3999, 3999},
      {&two, 4000, 4200},       {&two, 8999, 9199},
      {&two, 9000, 8000},       {&offset_only, 0, 300},
      {&offset_only, 100, 400},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.position);
    EXPECT_EQ(c.axis->Reading(c.position), c.reading);
  }
  EXPECT_EQ(two.segments().size(), 3u);
  EXPECT_EQ(KilometreAxis(ParamTable()).segments().size(), 1u);
}

TEST(KilometreAxis, RangeOfReadingsToPositions) {
  const KilometreAxis km(WithRecords(31100, 3050, 0, 0, 0, 0));
  struct Case {
    std::optional<double> from;
    std::optional<double> to;
    bool found;
    double from_pos;
    double to_pos;
  };
  const Case kCases[] = {
      {std::nullopt, std::nullopt, true, 0, 185700},
      {10000, 20000, true, 10000, 20000},
      // km 32 to 33 lies in the jump: no position has such a reading.
      {32000, 33000, false, 0, 0},
      // Across the jump: from 30 km to 40 km.
      {30000, 40000, true, 30000, 40000 - 3050},
      {60000, std::nullopt, true, 56950, 185700},
      {std::nullopt, 1000, true, 0, 1000},
      {200000, 300000, false, 0, 0},
      {20000, 10000, false, 0, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message()
                 << c.from.value_or(-1) << " to " << c.to.value_or(-1));
    const auto r = km.PositionsFor(0, 185700, c.from, c.to);
    ASSERT_EQ(r.has_value(), c.found);
    if (!r) continue;
    EXPECT_EQ(r->from, c.from_pos);
    EXPECT_EQ(r->to, c.to_pos);
  }
}

TEST(KilometreAxis, TicksFallOnRoundReadingsOnBothSidesOfAJump) {
  const KilometreAxis km(WithRecords(31100, 3050, 0, 0, 0, 0));
  const auto ticks = km.Ticks(29000, 36000, 1000);
  std::vector<double> readings, positions;
  for (const auto& t : ticks) {
    readings.push_back(t.reading);
    positions.push_back(t.position);
  }
  EXPECT_EQ(readings, (std::vector<double>{29000, 30000, 31000, 35000, 36000,
                                           37000, 38000, 39000}));
  EXPECT_EQ(positions, (std::vector<double>{29000, 30000, 31000, 31950, 32950,
                                            33950, 34950, 35950}));
}

TEST(KilometreAxis, FormatsAndSteps) {
  EXPECT_EQ(FormatKilometre(60000), "60+000");
  EXPECT_EQ(FormatKilometre(34150), "34+150");
  EXPECT_EQ(FormatKilometre(-250), "-0+250");
  EXPECT_EQ(FormatKilometre(1e300), "1000000000000+000");
  EXPECT_EQ(NiceStep(185700, 20), 10000);
  EXPECT_EQ(NiceStep(5000, 20), 500);
  EXPECT_EQ(NiceStep(10, 20), 100);
  EXPECT_EQ(NiceStep(0, 20), 100);
}

}  // namespace
}  // namespace scenario
