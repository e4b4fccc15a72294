#include "compile/post_pass.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
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

void Put(Scenario& s, std::int64_t cell, std::uint8_t kind,
         std::int16_t w2 = 0) {
  s.track_cells[cell].kind = kind;
  s.track_cells[cell].w2 = w2;
}

// The cells that hold a code mark with 180.
std::set<std::int64_t> PassMarks(const Scenario& s) {
  std::set<std::int64_t> marks;
  for (std::int64_t i = 0; i < s.track_cells.size(); ++i) {
    const TrackCell& c = s.track_cells[i];
    if (c.kind == kKindCodeMark && c.w2 == 180) marks.insert(i);
  }
  return marks;
}

TEST(SignalCodePass, minimo) {
  EXPECT_EQ(minimo(180, 120), 120);
  EXPECT_EQ(minimo(180, 270), 180);
  EXPECT_EQ(minimo(180, 180), 180);
}

TEST(SignalCodePass, SignalsBeforeAWarningBoard) {
  struct Case {
    const char* name;
    std::vector<std::int64_t> signals;
    std::int64_t board;
    std::set<std::int64_t> marks;
  };
  const Case kCases[] = {
      {"both signals marked", {95, 88}, 100, {94, 87}},
      {"20 cells below the board", {80}, 100, {79}},
      {"21 cells below the board: not treated", {79}, 100, {}},
      {"cell 2 is below 3: not treated", {2}, 4, {}},
      {"cell 3 is treated", {3}, 5, {2}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Scenario s = MakeScenario();
    for (std::int64_t sig : c.signals) Put(s, sig, kKindSignal);
    Put(s, c.board, kKindWarningBoard);
    ApplySignalCodePass(s);
    EXPECT_EQ(PassMarks(s), c.marks);
    EXPECT_EQ(s.errors.error_code, 0);
  }
}

TEST(SignalCodePass, SignalWithTakenCellsBelowKeepsTheSmallerCode) {
  struct Case {
    std::uint8_t kind_a, kind_b;
    std::int16_t w2_a, w2_b;
    std::int16_t want_a, want_b;
    std::int32_t code;
  };
  // Signal at 95 below a board at 100: a = 94, b = 93.
  const Case kCases[] = {
      {kKindCodeMark, kKindSpeedBoard, 120, 0, 120, 0, 0},
      {kKindCodeMark, kKindSpeedBoard, 270, 0, 180, 0, 0},
      {kKindSpeedBoard, kKindCodeMark, 0, 270, 0, 180, 0},
      // b free: it takes a fresh mark, a keeps its code.
      {kKindCodeMark, kKindNone, 270, 0, 270, 180, 0},
      {kKindSpeedBoard, kKindStopMark, 0, 3, 0, 3, kCodeSignalCodeMark},
  };
  for (const Case& c : kCases) {
    Scenario s = MakeScenario();
    Put(s, 95, kKindSignal);
    Put(s, 100, kKindWarningBoard);
    Put(s, 94, c.kind_a, c.w2_a);
    Put(s, 93, c.kind_b, c.w2_b);
    ApplySignalCodePass(s);
    EXPECT_EQ(s.track_cells[94].w2, c.want_a);
    EXPECT_EQ(s.track_cells[93].w2, c.want_b);
    EXPECT_EQ(s.errors.error_code, c.code);
    if (c.code != 0) {
      EXPECT_EQ(s.errors.error_position, 95 * 50);
    }
  }
}

TEST(SignalCodePass, MarksAroundASlowdown) {
  struct Case {
    const char* name;
    std::int64_t start, end;
    std::int16_t speed;
    std::vector<std::int64_t> signals;
    std::vector<std::int64_t> taken;
    std::set<std::int64_t> marks;
  };
  const Case kCases[] = {
      {"slow", 50, 70, 60, {}, {}, {45, 39, 32, 58, 66}},
      {"signal after the end", 50, 70, 60, {75}, {}, {45, 39, 32, 58, 66, 74}},
      {"signal too far", 50, 70, 60, {83}, {}, {45, 39, 32, 58, 66}},
      {"signal at end + 12", 50, 70, 60, {82}, {}, {45, 39, 32, 58, 66, 81}},
      {"fast", 50, 70, 110, {}, {}, {45, 39, 32}},
      // The walk is skipped, the search for the signal starts at the end.
      {"fast, signal after", 50, 70, 110, {75}, {}, {45, 39, 32, 74}},
      {"a taken cell shifts the walk",
       50,
       70,
       60,
       {},
       {58},
       {45, 39, 32, 57, 65}},
      {"a taken cell shifts it up",
       50,
       70,
       60,
       {},
       {58, 57},
       {45, 39, 32, 59, 67}},
      {"first free of a group", 50, 70, 110, {}, {45, 44}, {43, 39, 32}},
      {"start in cell 7: no marks before", 7, 9, 110, {}, {}, {}},
      {"start in cell 10: one group", 10, 12, 110, {}, {}, {5}},
      {"start in cell 14: two groups", 14, 16, 110, {}, {}, {9, 3}},
      {"start in cell 21: three groups", 21, 23, 110, {}, {}, {16, 10, 3}},
      {"the end cell counts in the walk", 50, 58, 60, {}, {}, {45, 39, 32, 57}},
      // Compared as a signed 16-bit number.
      {"negative speed walks", 50, 70, -100, {}, {}, {45, 39, 32, 58, 66}},
      // The cell below the signal is the end cell: the one below it.
      {"signal right after the end",
       50,
       70,
       60,
       {71},
       {},
       {45, 39, 32, 58, 66, 69}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Scenario s = MakeScenario();
    Put(s, c.start, kKindSlowdownStart, c.speed);
    Put(s, c.end, kKindSlowdownEnd, c.speed);
    for (std::int64_t sig : c.signals) Put(s, sig, kKindSignal);
    for (std::int64_t t : c.taken) Put(s, t, kKindSpeedBoard);
    ApplySignalCodePass(s);
    EXPECT_EQ(PassMarks(s), c.marks);
    EXPECT_EQ(s.errors.error_code, 0);
  }
}

TEST(SignalCodePass, ErrorsAreRecordedAndThePassGoesOn) {
  struct Case {
    const char* name;
    std::vector<std::int64_t> taken;
    std::vector<std::int64_t> signals;
    std::int32_t code;
    std::int32_t position;
  };
  // Slowdown 50 to 70, speed 60.
  const Case kCases[] = {
      {"group full", {45, 44, 43}, {}, kCodeSlowdownStartMark, 50 * 50},
      {"walk blocked", {57, 58, 59}, {}, kCodeSlowdownWalkMark, 58 * 50},
      // The signal at 75 with 74 and 73 taken: the end cell's position.
      {"no room before the signal",
       {74, 73},
       {75},
       kCodeSlowdownWalkMark,
       70 * 50},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Scenario s = MakeScenario();
    Put(s, 50, kKindSlowdownStart, 60);
    Put(s, 70, kKindSlowdownEnd, 60);
    for (std::int64_t t : c.taken) Put(s, t, kKindSpeedBoard);
    for (std::int64_t sig : c.signals) Put(s, sig, kKindSignal);
    ApplySignalCodePass(s);
    EXPECT_EQ(s.errors.error_code, c.code);
    EXPECT_EQ(s.errors.error_position, c.position);
    ASSERT_FALSE(s.errors.diagnostics.empty());
    EXPECT_EQ(s.errors.diagnostics.back().where.line, 0);
    // The other marks are still placed.
    EXPECT_TRUE(PassMarks(s).count(39));
  }
}

TEST(SignalCodePass, AfterABlockedWalkStepNoFurtherWalkMarks) {
  Scenario s = MakeScenario();
  Put(s, 50, kKindSlowdownStart, 60);
  Put(s, 90, kKindSlowdownEnd, 60);
  for (std::int64_t t : {57, 58, 59}) Put(s, t, kKindSpeedBoard);
  ApplySignalCodePass(s);
  EXPECT_EQ(PassMarks(s), (std::set<std::int64_t>{45, 39, 32}));
}

TEST(SignalCodePass, TwoProblemsLeaveTheLaterOne) {
  Scenario s = MakeScenario();
  Put(s, 50, kKindSlowdownStart, 110);
  Put(s, 60, kKindSlowdownEnd, 110);
  for (std::int64_t t : {45, 44, 43}) Put(s, t, kKindSpeedBoard);
  Put(s, 150, kKindSlowdownStart, 110);
  Put(s, 160, kKindSlowdownEnd, 110);
  for (std::int64_t t : {139, 138, 137}) Put(s, t, kKindSpeedBoard);
  ApplySignalCodePass(s);
  EXPECT_EQ(s.errors.error_code, kCodeSlowdownStartMark);
  EXPECT_EQ(s.errors.error_position, 150 * 50);
  EXPECT_EQ(s.errors.diagnostics.size(), 2u);
}

TEST(SignalCodePass, WalkWithoutAnEndStopsAtTheLastCell) {
  // No end cell: the walk stops after last_cell, and the signal search
  // after it is skipped (the signal in the last cell gets no mark).
  for (std::int16_t speed : {60, 120}) {
    SCOPED_TRACE(speed);
    Scenario s = MakeScenario(200);
    Put(s, 180, kKindSlowdownStart, speed);
    Put(s, 200, kKindSignal);
    ApplySignalCodePass(s);
    std::set<std::int64_t> want = {175, 169, 162};
    if (speed < 110) want.insert({188, 196});
    EXPECT_EQ(PassMarks(s), want);
  }
}

TEST(SignalCodePass, EndInTheLastCellEndsTheWalk) {
  Scenario s = MakeScenario(200);
  Put(s, 190, kKindSlowdownStart, 60);
  Put(s, 200, kKindSlowdownEnd, 60);
  ApplySignalCodePass(s);
  EXPECT_EQ(PassMarks(s), (std::set<std::int64_t>{185, 179, 172, 198}));
}

TEST(SignalCodePass, CellsOutsideTheArrayAreNeverTouched) {
  // A walk whose eighth step is the last cell, all taken: the cell above
  // it does not exist and is not free.
  Scenario s = MakeScenario(30);
  Put(s, 22, kKindSlowdownStart, 60);
  Put(s, 29, kKindSpeedBoard);
  Put(s, 30, kKindSpeedBoard);
  ApplySignalCodePass(s);
  EXPECT_EQ(s.errors.error_code, kCodeSlowdownWalkMark);
  EXPECT_EQ(s.errors.error_position, 30 * 50);
  EXPECT_EQ(s.track_cells.size(), 31);

  // Tiny arrays: the loop does not run at all.
  for (std::int32_t last : {0, 1, 2}) {
    Scenario t = MakeScenario(last);
    for (std::int64_t i = 0; i <= last; ++i) Put(t, i, kKindSlowdownStart);
    ApplySignalCodePass(t);
    EXPECT_EQ(t.errors.error_code, 0);
  }
  Scenario none;
  ApplySignalCodePass(none);  // no cell array: nothing to do
  EXPECT_EQ(none.errors.error_code, 0);
}

TEST(SignalCodePass, MarkKeepsTheCellsOtherFields) {
  Scenario s = MakeScenario();
  Put(s, 95, kKindSignal);
  Put(s, 100, kKindWarningBoard);
  s.track_cells[94].kind = kKindMountainMark;
  s.track_cells[94].w4 = 7;
  s.track_cells[94].speed_step = 12;
  ApplySignalCodePass(s);
  EXPECT_EQ(s.track_cells[94].kind, kKindCodeMark);
  EXPECT_EQ(s.track_cells[94].w2, 180);
  EXPECT_EQ(s.track_cells[94].w4, 7);
  EXPECT_EQ(s.track_cells[94].speed_step, 12);
}

}  // namespace
}  // namespace scenario
