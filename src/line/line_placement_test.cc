#include "line/line_placement.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "model/errors.h"

namespace scenario {
namespace {

using Record3 = std::array<std::int32_t, 3>;  // start, offset, flag

void PutRecords(ParamTable& t, const std::array<Record3, 3>& r) {
  for (int i = 0; i < 3; ++i) {
    t[81 + i].long1 = r[i][0];
    t[81 + i].long2 = r[i][1];
    t[81 + i].long3 = r[i][2];
  }
}

std::array<Record3, 3> GetRecords(const ParamTable& t) {
  std::array<Record3, 3> r;
  for (int i = 0; i < 3; ++i) {
    r[i] = {t[81 + i].long1, t[81 + i].long2, t[81 + i].long3};
  }
  return r;
}

TEST(ProgressiveOrdina, OrdersByStartGreatestFirst) {
  const Record3 kZero = {0, 0, 0};
  const Record3 kT = {300, 10, 0}, kD = {200, 20, 0}, kU = {100, 30, 0};
  struct Case {
    const char* name;
    std::array<Record3, 3> in;  // slots 81, 82, 83
    std::array<Record3, 3> out;
  };
  const Case kCases[] = {
      // The built-in records: only "uno" (slot 83) is filled.
      {"built-in",
       {kZero, kZero, Record3{31100, 3050, 0}},
       {Record3{31100, 3050, 0}, kZero, kZero}},
      {"T D U", {kT, kD, kU}, {kT, kD, kU}},
      {"T U D", {kT, kU, kD}, {kT, kD, kU}},
      {"D T U", {kD, kT, kU}, {kT, kD, kU}},
      {"D U T", {kU, kT, kD}, {kT, kD, kU}},
      {"U T D", {kD, kU, kT}, {kT, kD, kU}},
      {"U D T", {kU, kD, kT}, {kT, kD, kU}},
      // Ties below the greatest keep the table's "otherwise" branch.
      {"tie below",
       {Record3{300, 1, 0}, Record3{5, 2, 0}, Record3{5, 3, 0}},
       {Record3{300, 1, 0}, Record3{5, 3, 0}, Record3{5, 2, 0}}},
      // A shared greatest start clears everything.
      {"shared greatest",
       {Record3{31100, 1, 0}, Record3{31100, 2, 0}, Record3{0, 3, 0}},
       {kZero, kZero, kZero}},
      // Starts that sum to 0 are chosen by offset, even when not all 0.
      {"offsets U",
       {kZero, kZero, Record3{0, 200, 0}},
       {Record3{0, 200, 0}, kZero, kZero}},
      {"offsets D",
       {Record3{0, 1, 0}, Record3{0, 2, 0}, kZero},
       {Record3{0, 2, 0}, Record3{0, 1, 0}, kZero}},
      {"offsets T",
       {Record3{0, 1, 0}, kZero, Record3{0, -5, 0}},
       {Record3{0, 1, 0}, kZero, Record3{0, -5, 0}}},
      {"offsets none",
       {Record3{0, 0, 1}, kZero, Record3{0, -5, 0}},
       {kZero, kZero, kZero}},
      {"starts cancel",
       {Record3{100, 0, 0}, Record3{-100, 7, 0}, kZero},
       {Record3{-100, 7, 0}, Record3{100, 0, 0}, kZero}},
      // Flag 1 adds 100 to the offset, after ordering.
      {"flag",
       {kZero, kZero, Record3{31100, 3050, 1}},
       {Record3{31100, 3150, 1}, kZero, kZero}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ParamTable t;
    PutRecords(t, c.in);
    progressive_ordina(t);
    EXPECT_EQ(GetRecords(t), c.out);
  }
}

TEST(ProgressiveOrdina, OffsetPlus100OutsideLongIsAFault) {
  ParamTable t;
  PutRecords(
      t, {Record3{0, 0, 0}, Record3{0, 0, 0}, Record3{100, INT32_MAX - 99, 1}});
  EXPECT_THROW(progressive_ordina(t), Fault);
  PutRecords(t, {Record3{0, 0, 0}, Record3{0, 0, 0},
                 Record3{100, INT32_MAX - 100, 1}});
  progressive_ordina(t);
  EXPECT_EQ(t[81].long2, INT32_MAX);
}

class MemoMontagna : public ::testing::Test {
 protected:
  void SetUp() override { cells_.Create(400); }
  // Kinds 11 among cells lo..hi.
  std::vector<int> MarkedCells(int lo, int hi) {
    std::vector<int> out;
    for (int c = lo; c <= hi; ++c) {
      if (cells_[c].kind == kKindMountainMark) out.push_back(c);
    }
    return out;
  }
  TrackCells cells_;
  MountainStretches stretches_;
};

TEST_F(MemoMontagna, BuiltInStretchWithMarks) {
  cells_[190].kind = kKindSignal;  // an item already there keeps its kind
  std::int32_t tipo = 12;
  memo_montagna(cells_, stretches_, 8750, 11150, tipo);
  EXPECT_EQ(tipo, 2);
  EXPECT_EQ(cells_[174].mountain, 0);
  EXPECT_EQ(cells_[223].mountain, 0);
  for (int c = 175; c <= 222; ++c) EXPECT_EQ(cells_[c].mountain, 2) << c;
  std::vector<int> expected;
  for (int c = 178; c <= 222; c += 4) {
    if (c != 190) expected.push_back(c);
  }
  EXPECT_EQ(MarkedCells(0, 400), expected);  // 12 places, one taken
  EXPECT_EQ(cells_[190].kind, kKindSignal);
  EXPECT_EQ(stretches_.mountain_count, 1);
  EXPECT_EQ(stretches_.mountain_starts[1], 8750);
  EXPECT_EQ(stretches_.mountain_ends[1], 11150);
}

TEST_F(MemoMontagna, TypesAndTheGapToThePreviousStretch) {
  struct Case {
    std::int32_t inizio, fine, tipo;
    std::int32_t tipo_after;
    bool marks;
  };
  // Each case follows a first stretch 1000..2000 of type 1.
  const Case kCases[] = {
      {2150, 3000, 5, 3, false},    // 150 m after: type 3
      {2200, 3000, 5, 5, false},    // 200 m after: its own type
      {1500, 3000, 5, 3, false},    // overlapping: type 3
      {2150, 3000, 14, 3, true},    // joined, the mark flag stays
      {3000, 4000, 13, 3, true},    // 13: type 3 with marks
      {3000, 4000, 10, 10, false},  // 10: type 10, no marks
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.inizio);
    SetUp();
    stretches_ = MountainStretches{};
    std::int32_t first = 1;
    memo_montagna(cells_, stretches_, 1000, 2000, first);
    std::int32_t tipo = c.tipo;
    memo_montagna(cells_, stretches_, c.inizio, c.fine, tipo);
    EXPECT_EQ(tipo, c.tipo_after);
    EXPECT_EQ(cells_[c.fine / 50 - 1].mountain, c.tipo_after);
    EXPECT_EQ(!MarkedCells(40, 80).empty(), c.marks);
  }
}

TEST_F(MemoMontagna, ShortStretchMarksNothingButCounts) {
  std::int32_t tipo = 1;
  memo_montagna(cells_, stretches_, 1000, 1020, tipo);
  for (int c = 0; c <= 400; ++c) EXPECT_EQ(cells_[c].mountain, 0) << c;
  EXPECT_EQ(stretches_.mountain_count, 1);
  std::int32_t next = 4;
  memo_montagna(cells_, stretches_, 1170, 1500, next);
  EXPECT_EQ(next, 3);  // 150 m after the short stretch's end
}

TEST_F(MemoMontagna, LastCellRoundsAsAWhole) {
  // fine 1025: round(1025 / 50 - 1) = round(19.5) = 20, while
  // round(1025 / 50) - 1 would be 19. fine 1075: round(20.5) = 20.
  struct Case {
    std::int32_t fine;
    int last;
  };
  for (const Case& c : {Case{1025, 20}, Case{1075, 20}, Case{1125, 22}}) {
    SCOPED_TRACE(c.fine);
    SetUp();
    stretches_ = MountainStretches{};
    std::int32_t tipo = 7;
    memo_montagna(cells_, stretches_, 500, c.fine, tipo);
    EXPECT_EQ(cells_[c.last].mountain, 7);
    EXPECT_EQ(cells_[c.last + 1].mountain, 0);
  }
}

TEST_F(MemoMontagna, OutsideTheModelIsAFaultAfterTheCellsBefore) {
  std::int32_t tipo = 1;
  EXPECT_THROW(memo_montagna(cells_, stretches_, 19900, 30000, tipo), Fault);
  EXPECT_EQ(cells_[398].mountain, 1);
  EXPECT_EQ(cells_[400].mountain, 1);  // written before the fault

  stretches_ = MountainStretches{};
  tipo = 1;
  EXPECT_THROW(memo_montagna(cells_, stretches_, -100, 500, tipo), Fault);

  stretches_ = MountainStretches{};
  for (int i = 0; i < 80; ++i) {
    tipo = 1;
    memo_montagna(cells_, stretches_, 1000 * i, 1000 * i + 20, tipo);
  }
  tipo = 1;
  EXPECT_THROW(memo_montagna(cells_, stretches_, 90000, 90020, tipo), Fault);
}

class MemoIndicatoriVMax : public ::testing::Test {
 protected:
  void SetUp() override { s_.track_cells.Create(400); }
  Scenario s_;
  SourceSpot where_{"l.txt", 7, 1};
};

TEST_F(MemoIndicatoriVMax, BuiltInBoards) {
  memo_indicatori_v_max(s_, 1000, 90, 95, 100, 0, 0, 0, 0, 0, where_);
  const TrackCell& a = s_.track_cells[21];
  EXPECT_EQ(a.kind, kKindSpeedBoard);
  EXPECT_EQ(a.w2, 90 * 20);
  EXPECT_EQ(a.w4, 95 * 20);
  EXPECT_EQ(a.w6, 100 * 20);
  EXPECT_EQ(a.w8, 0);

  s_.track_cells.Create(600);
  memo_indicatori_v_max(s_, 26350, 130, 140, 145, 2, 130, 140, 145, 2, where_);
  const TrackCell& b = s_.track_cells[528];
  EXPECT_EQ(b.kind, kKindSpeedBoard);
  EXPECT_EQ(b.w2, 130 * 20 + 130 / 5);
  EXPECT_EQ(b.w4, 140 * 20 + 140 / 5);
  EXPECT_EQ(b.w6, 145 * 20 + 145 / 5);
  EXPECT_EQ(b.w8, 22);
  EXPECT_EQ(s_.errors.error_code, 0);
}

TEST_F(MemoIndicatoriVMax, SpeedWordsRoundAndFaultOutside16Bits) {
  struct Case {
    std::int32_t vs, vd;
    bool ok;
    std::int16_t word;
  };
  const Case kCases[] = {
      {0, 7, true, 1},  // 1.4
      {0, 8, true, 2},  // 1.6
      {0, -8, true, -2},      {1638, 35, true, 32767},
      {1638, 38, false, 0},  // 32767.6 rounds to 32768
      {1639, 0, false, 0},    {-1638, -40, true, -32768},
      {-1638, -43, false, 0},  // -32768.6
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.vs << " " << c.vd);
    SetUp();
    if (c.ok) {
      memo_indicatori_v_max(s_, 1000, c.vs, 0, 0, 0, c.vd, 0, 0, 0, where_);
      EXPECT_EQ(s_.track_cells[21].w2, c.word);
    } else {
      EXPECT_THROW(
          memo_indicatori_v_max(s_, 1000, 1, c.vs, 0, 0, 0, c.vd, 0, 0, where_),
          Fault);
      // The writes before the faulting word stay; none after it is made.
      EXPECT_EQ(s_.track_cells[21].kind, kKindSpeedBoard);
      EXPECT_EQ(s_.track_cells[21].w2, 20);
      EXPECT_EQ(s_.track_cells[21].w4, 0);
    }
  }
}

TEST_F(MemoIndicatoriVMax, StripesKeepTheLowBits) {
  memo_indicatori_v_max(s_, 1000, 0, 0, 0, 3277, 0, 0, 0, 0, where_);
  EXPECT_EQ(s_.track_cells[21].w8, -32766);  // 32770 wraps
}

TEST_F(MemoIndicatoriVMax, FreeCellsOnly) {
  s_.track_cells[21].kind = kKindMountainMark;
  s_.track_cells[21].mountain = 2;
  memo_indicatori_v_max(s_, 1000, 90, 0, 0, 0, 0, 0, 0, 0, where_);
  EXPECT_EQ(s_.track_cells[21].kind, kKindSpeedBoard);  // mark replaced
  EXPECT_EQ(s_.track_cells[21].mountain, 2);

  s_.errors.error_position = -1;
  memo_indicatori_v_max(s_, 1010, 100, 0, 0, 0, 0, 0, 0, 0, where_);
  EXPECT_EQ(s_.errors.error_code, kCodeSpeedBoardTaken);
  EXPECT_EQ(s_.errors.error_position, 1010);
  EXPECT_EQ(s_.track_cells[21].w2, 90 * 20);  // unchanged
  ASSERT_EQ(s_.errors.diagnostics.size(), 1u);
  EXPECT_EQ(s_.errors.diagnostics[0].where.line, 7);
}

TEST_F(MemoIndicatoriVMax, OutsideTheArrayIsAFault) {
  EXPECT_THROW(memo_indicatori_v_max(s_, 20000, 1, 1, 1, 0, 0, 0, 0, 0, where_),
               Fault);
  EXPECT_THROW(memo_indicatori_v_max(s_, -100, 1, 1, 1, 0, 0, 0, 0, 0, where_),
               Fault);
  EXPECT_EQ(s_.errors.error_code, 0);
}

}  // namespace
}  // namespace scenario
