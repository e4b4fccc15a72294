#include "train/train_placement.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "model/errors.h"
#include "model/scenario.h"
#include "model/scenario_testing.h"
#include "model/track_cells.h"

namespace scenario {
namespace {

Scenario MakeScenario(std::int32_t last_cell = 200) {
  return ScenarioWithCells(last_cell);
}

struct SignalRow {
  std::int32_t posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo;
};

std::int32_t PlaceSignal(Scenario& s, SignalRow r) {
  memo_segnale(s, r.posizione, r.sx, r.s1, r.s2, r.s3, r.rapp, r.dx, r.d1, r.d2,
               r.d3, r.tempo);
  return r.tempo;
}

TEST(MemoSegnale, PacksValuesTypesTimeAndLookBackMarks) {
  struct Case {
    SignalRow row;
    std::int64_t cell;
    std::int16_t w2, w4, w6, w8;
    std::uint8_t b10;
    std::uint8_t first_mark;  // b11 of cell - 2; the next three follow
  };
  const Case kCases[] = {
      {{1050, 2, 5, 1, 1, 0, 2, 2, 1, 1, 255}, 22, 52, 11, 11, 8, 255, 81},
      {{2250, 2, 3, 1, 1, 0, 0, 0, 0, 0, 0}, 46, 30, 10, 10, 6, 0, 61},
      {{2250, 2, 3, 1, 1, 1, 1, 0, 0, 0, 230}, 46, 30, 10, 10, 17, 230, 71},
      // A type other than 2 keeps no time.
      {{2250, 1, 3, 1, 1, 0, 0, 0, 0, 0, 230}, 46, 30, 10, 10, 3, 0, 31},
      // 16-bit words keep their low bits: 4000 x 10 = 40000 wraps.
      {{2250, 2, 4000, 0, 0, 0, 0, 0, 0, 0, 0}, 46, -25536, 0, 0, 6, 0, 61},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.row.posizione);
    Scenario s = MakeScenario();
    PlaceSignal(s, c.row);
    ASSERT_EQ(s.errors.error_code, 0);
    const TrackCell& cell = s.track_cells[c.cell];
    EXPECT_EQ(cell.kind, kKindSignal);
    EXPECT_EQ(cell.w2, c.w2);
    EXPECT_EQ(cell.w4, c.w4);
    EXPECT_EQ(cell.w6, c.w6);
    EXPECT_EQ(cell.w8, c.w8);
    EXPECT_EQ(cell.b10, c.b10);
    for (int j = 1; j <= 4; ++j) {
      EXPECT_EQ(s.track_cells[c.cell - 2 * j].b11, c.first_mark + j - 1);
      // The look-back cells keep their kind.
      EXPECT_EQ(s.track_cells[c.cell - 2 * j].kind, kKindNone);
    }
    EXPECT_EQ(s.track_cells[c.cell - 1].b11, 0);
  }
}

TEST(MemoSegnale, TimeOfOneToHundredIsRaisedTo101) {
  struct Case {
    std::int32_t sx, tempo, b10, tempo_after;
  };
  const Case kCases[] = {
      {2, 50, 101, 101},  {1, 50, 0, 101}, {2, 1, 101, 101},
      {2, 100, 101, 101}, {2, 0, 0, 0},    {2, 101, 101, 101},
      {2, -5, 251, -5},   // the low 8 bits of -5
      {2, 300, 44, 300},  // the low 8 bits of 300
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.tempo);
    Scenario s = MakeScenario();
    const std::int32_t tempo =
        PlaceSignal(s, {2250, c.sx, 3, 1, 1, 0, 0, 0, 0, 0, c.tempo});
    EXPECT_EQ(tempo, c.tempo_after);
    EXPECT_EQ(s.track_cells[46].b10, c.b10);
  }
}

TEST(MemoSegnale, SecondSignalInTheSameCellGives16AndWritesNothing) {
  Scenario s = MakeScenario();
  PlaceSignal(s, {425, 2, 3, 1, 1, 0, 0, 0, 0, 0, 0});  // 9.5 -> cell 10
  ASSERT_EQ(s.errors.error_code, 0);
  ASSERT_EQ(s.track_cells[10].kind, kKindSignal);
  s.track_cells[8].b11 = 0;
  PlaceSignal(s, {475, 2, 5, 1, 1, 0, 2, 2, 1, 1, 255});  // 10.5 -> cell 10
  EXPECT_EQ(s.errors.error_code, kCodeSignalTaken);
  EXPECT_EQ(s.track_cells[10].w2, 30);
  EXPECT_EQ(s.track_cells[8].b11, 0);
}

TEST(MemoSegnale, MountainMarkIsFreeOtherKindsAreNot) {
  Scenario s = MakeScenario();
  s.track_cells[22].kind = kKindMountainMark;
  PlaceSignal(s, {1050, 2, 5, 1, 1, 0, 2, 2, 1, 1, 255});
  EXPECT_EQ(s.errors.error_code, 0);
  EXPECT_EQ(s.track_cells[22].kind, kKindSignal);

  Scenario t = MakeScenario();
  t.track_cells[22].kind = kKindCodeMark;
  PlaceSignal(t, {1050, 2, 5, 1, 1, 0, 2, 2, 1, 1, 255});
  EXPECT_EQ(t.errors.error_code, kCodeSignalTaken);
  EXPECT_EQ(t.track_cells[22].kind, kKindCodeMark);
}

TEST(MemoSegnale, LookBackBelowCellZeroFaultsAfterTheEarlierMarks) {
  Scenario s = MakeScenario();
  // Cell 6: look-back cells 4, 2, 0 and -2.
  EXPECT_THROW(PlaceSignal(s, {250, 2, 3, 1, 1, 0, 0, 0, 0, 0, 0}), Fault);
  EXPECT_EQ(s.track_cells[6].kind, kKindSignal);
  EXPECT_EQ(s.track_cells[4].b11, 61);
  EXPECT_EQ(s.track_cells[2].b11, 62);
  EXPECT_EQ(s.track_cells[0].b11, 63);
}

TEST(MemoSegnale, CellOutsideTheArrayFaults) {
  Scenario s = MakeScenario(20);
  EXPECT_THROW(PlaceSignal(s, {-200, 2, 3, 1, 1, 0, 0, 0, 0, 0, 0}), Fault);
  EXPECT_THROW(PlaceSignal(s, {1050, 2, 3, 1, 1, 0, 0, 0, 0, 0, 0}), Fault);
}

struct SlowdownRow {
  std::int32_t x, v, l, f_tt, f_ta, d_v;
};

void PlaceSlowdown(Scenario& s, SlowdownRow r) {
  memo_rallentamento(s, r.x, r.v, r.l, r.f_tt, r.f_ta, r.d_v);
}

TEST(MemoRallentamento, StartEndWarningAndPreWarningCells) {
  Scenario s = MakeScenario();
  PlaceSlowdown(s, {1550, 60, 500, 7, 1, 0});
  ASSERT_EQ(s.errors.error_code, 0);
  const TrackCells& c = s.track_cells;
  EXPECT_EQ(c[32].kind, kKindSlowdownStart);
  EXPECT_EQ(c[42].kind, kKindSlowdownEnd);
  EXPECT_EQ(c[8].kind, kKindWarningBoard);
  for (std::int64_t i : {32, 42}) {
    EXPECT_EQ(c[i].w2, 60);
    EXPECT_EQ(c[i].w4, 0);
    EXPECT_EQ(c[i].w6, 7);
  }
  EXPECT_EQ(c[8].w2, 60);
  EXPECT_EQ(c[8].w6, 0);
  for (int n = 1; n <= 4; ++n) {
    EXPECT_EQ(c[8 - n].kind, kKindPreWarning);
    EXPECT_EQ(c[8 - n].w2, n);
    EXPECT_EQ(c[8 - n].w4, 0);
  }
  EXPECT_EQ(c[3].kind, kKindNone);
}

TEST(MemoRallentamento, NonZeroDvGoesIntoTheSecondWord) {
  Scenario s = MakeScenario();
  s.track_cells[32].w4 = 9;  // a mountain leftover that d_v 0 would keep
  PlaceSlowdown(s, {1550, 60, 500, 7, 1, 30});
  const TrackCells& c = s.track_cells;
  EXPECT_EQ(c[32].w4, 30);
  EXPECT_EQ(c[42].w4, 30);
  EXPECT_EQ(c[8].w4, 30);
  for (int n = 1; n <= 4; ++n) EXPECT_EQ(c[8 - n].w4, n);

  Scenario t = MakeScenario();
  t.track_cells[32].w4 = 9;
  PlaceSlowdown(t, {1550, 60, 500, 7, 1, 0});
  EXPECT_EQ(t.track_cells[32].w4, 9);
}

TEST(MemoRallentamento, NoWarningPointUpToMetre1500) {
  struct Case {
    std::int32_t x;
    bool warning;
  };
  const Case kCases[] = {{1500, false}, {1550, true}, {1501, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.x);
    Scenario s = MakeScenario();
    PlaceSlowdown(s, {c.x, 60, 500, 0, 1, 0});
    ASSERT_EQ(s.errors.error_code, 0);
    int warnings = 0;
    int pre_warnings = 0;
    for (const TrackCell& cell : s.track_cells.cells()) {
      warnings += cell.kind == kKindWarningBoard;
      pre_warnings += cell.kind == kKindPreWarning;
    }
    EXPECT_EQ(warnings, c.warning ? 1 : 0);
    EXPECT_EQ(pre_warnings, c.warning ? 4 : 0);
  }
}

TEST(MemoRallentamento, LengthZeroLeavesOneStartCell) {
  Scenario s = MakeScenario();
  PlaceSlowdown(s, {3000, 60, 0, 5, 0, 0});
  ASSERT_EQ(s.errors.error_code, 0);
  EXPECT_EQ(s.track_cells[61].kind, kKindSlowdownStart);
  EXPECT_EQ(s.track_cells[61].w2, 60);
  EXPECT_EQ(s.track_cells[61].w6, 5);
}

TEST(MemoRallentamento, CollisionCodes) {
  struct Case {
    std::int64_t taken;
    std::int32_t code;
    std::vector<std::int64_t> written;  // cells that hold the slowdown
  };
  // x 1550, l 500: warning 8, start 32, end 42, pre-warnings 7 to 4.
  const Case kCases[] = {
      {8, kCodeWarningTaken, {}},
      {32, kCodeSlowdownStartTaken, {}},
      {42, kCodeSlowdownEndTaken, {}},
      {5, kCodePreWarningTaken, {32, 42, 8}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.code);
    Scenario s = MakeScenario();
    s.track_cells[c.taken].kind = kKindSpeedBoard;
    PlaceSlowdown(s, {1550, 60, 500, 0, 1, 0});
    EXPECT_EQ(s.errors.error_code, c.code);
    int placed = 0;
    for (const TrackCell& cell : s.track_cells.cells()) {
      placed += cell.kind != kKindNone && cell.kind != kKindSpeedBoard;
    }
    EXPECT_EQ(placed, static_cast<int>(c.written.size()));
    for (std::int64_t i : c.written) EXPECT_NE(s.track_cells[i].kind, 0);
    EXPECT_EQ(s.track_cells[7].kind, kKindNone);
  }
}

TEST(MemoRallentamento, SixteenBitWordsKeepTheLowBits) {
  Scenario s = MakeScenario();
  PlaceSlowdown(s, {3000, 70000, 100, -70000, 0, 65537});
  EXPECT_EQ(s.track_cells[61].w2, 4464);
  EXPECT_EQ(s.track_cells[61].w6, -4464);
  EXPECT_EQ(s.track_cells[61].w4, 1);
}

TEST(MemoRallentamento, EndOutsideTheArrayFaultsBeforeAnyWrite) {
  Scenario s = MakeScenario(100);
  EXPECT_THROW(PlaceSlowdown(s, {3000, 60, 5000, 0, 1, 0}), Fault);
  for (const TrackCell& cell : s.track_cells.cells()) {
    EXPECT_EQ(cell.kind, kKindNone);
  }
  EXPECT_THROW(PlaceSlowdown(s, {3000, 60, -4000, 0, 0, 0}), Fault);
}

}  // namespace
}  // namespace scenario
