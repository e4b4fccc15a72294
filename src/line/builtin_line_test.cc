#include "line/builtin_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <set>
#include <string>
#include <vector>

#include "line/builtin_line_rows_testing.h"
#include "model/rounding.h"

namespace scenario {
namespace {

// The highest metre a row may address: position + 100 <= 50 * last_cell.
constexpr std::int32_t kLineLength = 185700;
constexpr std::int32_t kLastRowPosition = kLineLength + 7000 - 100;

// Curvature per metre of each class; the radius is its reciprocal.
constexpr double kCurvature[] = {0,     0.0001, 0.0002, 0.0004,
                                 0.001, 0.002,  0.003};

// The highest rank B speed over a curve of class c: 160 mm cant plus
// 107 mm cant deficiency, V = sqrt(R * 267 / 11.8).
double RankBCurveSpeed(int c) {
  return std::sqrt(267.0 / 11.8 / kCurvature[c]);
}

const std::vector<std::string>& Lines() {
  static const std::vector<std::string> lines = dati_linea();
  return lines;
}

const LineRows& Rows() {
  static const LineRows rows = ParseLineRows(Lines());
  return rows;
}

TEST(BuiltinLine, CurvesKeepTheirCountsOrderAndRanges) {
  const LineRows& rows = Rows();
  ASSERT_EQ(rows.curves.size(), 101u);
  int left = 0;
  std::set<int> classes;
  int class6 = 0;
  std::int32_t shortest = 1 << 30, longest = 0;
  const CurveRow* previous = nullptr;
  for (const CurveRow& c : rows.curves) {
    SCOPED_TRACE(c.entry);
    left += c.left ? 1 : 0;
    classes.insert(c.curve_class);
    class6 += c.curve_class == 6 ? 1 : 0;
    shortest = std::min(shortest, c.length);
    longest = std::max(longest, c.length);
    EXPECT_EQ(c.start % 50, 0);
    EXPECT_EQ(c.length % 50, 0);
    EXPECT_LE(c.start + c.length, kLineLength);
    // Deliberate: entry 78 stands out of order; the others rise and may
    // touch but never overlap.
    if (c.entry == 78) continue;
    if (previous != nullptr) {
      EXPECT_GE(c.start, previous->start + previous->length);
    }
    previous = &c;
  }
  EXPECT_EQ(left, 53);
  EXPECT_EQ(classes.size(), 6u);
  EXPECT_EQ(class6, 1);
  EXPECT_EQ(shortest, 50);
  EXPECT_EQ(longest, 1850);
  // The out-of-order curve does not overlap any other either, so the line
  // stays sound whether a reader takes it or not.
  const CurveRow& stray = rows.curves[68];
  ASSERT_EQ(stray.entry, 78);
  for (const CurveRow& c : rows.curves) {
    if (c.entry == 78) continue;
    EXPECT_TRUE(c.start + c.length <= stray.start ||
                c.start >= stray.start + stray.length)
        << c.entry;
  }
}

TEST(BuiltinLine, TheLineNeverTurnsBack) {
  // The plan's heading, in radians from the start heading, after each curve
  // the reader takes; a regional line winds but keeps its direction.
  double heading = 0;
  for (const CurveRow& c : Rows().curves) {
    if (c.entry == 78) continue;
    heading += (c.left ? -1 : 1) * kCurvature[c.curve_class] * c.length;
    EXPECT_LT(std::abs(heading), std::numbers::pi / 2) << c.entry;
  }
}

TEST(BuiltinLine, GradientsRiseInPositionWithinElevenPerMille) {
  const LineRows& rows = Rows();
  ASSERT_EQ(rows.gradients.size(), 141u);
  EXPECT_EQ(rows.gradients.front().position, 0);
  EXPECT_EQ(rows.gradients.back().position, 182800);
  EXPECT_EQ(rows.gradients.back().gradient, 0);
  for (std::size_t i = 0; i < rows.gradients.size(); ++i) {
    const GradientRow& g = rows.gradients[i];
    SCOPED_TRACE(g.entry);
    EXPECT_GE(g.gradient, -11);
    EXPECT_LE(g.gradient, 11);
    EXPECT_EQ(g.position % 50, 0);
    if (i > 0) {
      EXPECT_GT(g.position, rows.gradients[i - 1].position);
    }
  }
  // The decimal comma: the reader takes -4 and passes over the "5".
  EXPECT_EQ(rows.gradients[3].gradient, -4);
}

TEST(BuiltinLine, SpeedBoardsKeepTheirRanges) {
  const LineRows& rows = Rows();
  ASSERT_EQ(rows.boards.size(), 44u);
  EXPECT_EQ(rows.boards.front().posizione, 1000);
  EXPECT_EQ(rows.boards.back().posizione, 182950);
  int empty_d = 0;
  std::int32_t slowest = 1000, fastest = 0;
  std::set<std::int32_t> stripes;
  for (std::size_t i = 0; i < rows.boards.size(); ++i) {
    const SpeedBoardRow& b = rows.boards[i];
    SCOPED_TRACE(b.entry);
    if (i > 0) {
      EXPECT_GT(b.posizione, rows.boards[i - 1].posizione);
    }
    EXPECT_EQ(b.posizione % 50, 0);
    for (std::int32_t v : {b.vas, b.vbs, b.vcs}) {
      EXPECT_EQ(v % 5, 0);
      slowest = std::min(slowest, v);
      fastest = std::max(fastest, v);
    }
    EXPECT_LE(b.vas, b.vbs);
    EXPECT_LE(b.vbs, b.vcs);
    stripes.insert(b.strisces);
    if (b.d_empty) {
      ++empty_d;
      EXPECT_EQ(b.strisced, 0);
    } else {
      // The d set repeats the s set.
      EXPECT_EQ(b.vad, b.vas);
      EXPECT_EQ(b.vbd, b.vbs);
      EXPECT_EQ(b.vcd, b.vcs);
      EXPECT_EQ(b.strisced, b.strisces);
    }
  }
  EXPECT_EQ(empty_d, 6);
  EXPECT_EQ(slowest, 75);
  EXPECT_EQ(fastest, 170);
  EXPECT_EQ(stripes, (std::set<std::int32_t>{0, 1, 2}));
}

TEST(BuiltinLine, StripedRunsComeInThreesAndKeepRankB) {
  const std::vector<SpeedBoardRow>& boards = Rows().boards;
  int runs = 0;
  for (std::size_t i = 0; i < boards.size(); ++i) {
    const SpeedBoardRow& b = boards[i];
    SCOPED_TRACE(b.entry);
    if (b.strisces == 1) {
      ASSERT_GT(i, 0u);
      EXPECT_EQ(boards[i - 1].strisces, 2);
    }
    if (b.strisces != 2) continue;
    ++runs;
    ASSERT_LT(i + 2, boards.size());
    for (int k = 1; k <= 2; ++k) {
      const SpeedBoardRow& next = boards[i + k];
      EXPECT_EQ(next.posizione, b.posizione + 350 * k);
      EXPECT_EQ(next.strisces, 2 - k);
      EXPECT_EQ(next.vas, b.vas);
      EXPECT_EQ(next.vbs, b.vbs);
      EXPECT_EQ(next.vcs, b.vcs);
    }
    // A run changes ranks A and C only, so rank B's profile is the same
    // whichever board of the run one takes as the change.
    ASSERT_GT(i, 0u);
    EXPECT_EQ(boards[i - 1].vbs, b.vbs);
  }
  EXPECT_GE(runs, 1);
}

TEST(BuiltinLine, CurvesLieUnderRankBSpeedsTheyAllow) {
  const LineRows& rows = Rows();
  for (const CurveRow& c : rows.curves) {
    SCOPED_TRACE(c.entry);
    const std::int32_t end = c.start + c.length;
    double allowed = RankBCurveSpeed(c.curve_class);
    const SpeedBoardRow* at_start = rows.BoardAt(c.start);
    if (at_start != nullptr) {
      EXPECT_LE(at_start->vbs, allowed);
    }
    for (const SpeedBoardRow& b : rows.boards) {
      if (b.posizione > c.start && b.posizione <= end) {
        EXPECT_LE(b.vbs, allowed) << "board at " << b.posizione;
      }
    }
  }
}

TEST(BuiltinLine, IndicatorBoardsAreStonesAndSwitches) {
  const LineRows& rows = Rows();
  ASSERT_EQ(rows.indicators.size(), 14u);
  EXPECT_EQ(rows.indicators.front().position, 28000);
  EXPECT_EQ(rows.indicators.back().position, 183950);
  int stones = 0, wide = 0, exit_switch = 0, entry_switch = 0, entry = 0;
  for (std::size_t i = 0; i < rows.indicators.size(); ++i) {
    const IndicatorRow& r = rows.indicators[i];
    SCOPED_TRACE(r.entry);
    if (i > 0) {
      EXPECT_GT(r.position, rows.indicators[i - 1].position);
    }
    EXPECT_EQ(r.position % 50, 0);
    if (r.text.starts_with("(  Cippo  )(Km")) {
      ++stones;
      // The stone shows the reading of its own metre.
      const std::int32_t reading = rows.Reading(r.position);
      char expected[40];
      std::snprintf(expected, sizeof expected, "(  Cippo  )(Km%3d+%03d)",
                    reading / 1000, reading % 1000);
      EXPECT_EQ(r.text, expected);
      if (reading >= 100000) ++wide;
    } else if (r.text == "(Dev.)(U.  )") {
      ++exit_switch;
    } else if (r.text == "(Dev.)(I.  )") {
      ++entry_switch;
    } else if (r.text == "(Dev.I.)") {
      ++entry;
    } else {
      ADD_FAILURE() << "unexpected board text " << r.text;
    }
  }
  EXPECT_EQ(stones, 10);
  EXPECT_EQ(wide, 1);  // "(  Cippo  )(Km126+000)", without the blank
  EXPECT_EQ(exit_switch, 1);
  EXPECT_EQ(entry_switch, 1);
  EXPECT_EQ(entry, 2);
}

TEST(BuiltinLine, KilometreReadingsJumpAtTheRecord) {
  const LineRows& rows = Rows();
  EXPECT_EQ(rows.Reading(28000), 28000);
  EXPECT_EQ(rows.Reading(31050), 31050);
  EXPECT_EQ(rows.Reading(31100), 34150);
  EXPECT_EQ(rows.Reading(56950), 60000);
  bool found = false;
  for (const IndicatorRow& r : rows.indicators) {
    if (r.position == 56950) {
      found = true;
      EXPECT_EQ(r.text, "(  Cippo  )(Km 60+000)");
    }
    if (r.text == "(  Cippo  )(Km126+000)") {
      EXPECT_EQ(r.position, 122950);
    }
  }
  EXPECT_TRUE(found);
}

TEST(BuiltinLine, EveryRowStaysOnTheLineAndBoardsOnDistinctCells) {
  const LineRows& rows = Rows();
  EXPECT_EQ(rows.length, kLineLength);
  std::set<std::int64_t> cells;
  for (const SpeedBoardRow& b : rows.boards) {
    EXPECT_LE(b.posizione, kLastRowPosition);
    EXPECT_TRUE(cells.insert(ItemCell(b.posizione)).second) << b.posizione;
  }
  for (const IndicatorRow& r : rows.indicators) {
    EXPECT_LE(r.position, kLastRowPosition);
    EXPECT_TRUE(cells.insert(ItemCell(r.position)).second) << r.position;
  }
  for (const MountainRow& m : rows.mountains) {
    EXPECT_LT(m.inizio, m.fine);
    EXPECT_LE(m.fine, kLineLength);
  }
}

}  // namespace
}  // namespace scenario
