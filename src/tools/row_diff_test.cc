#include "tools/row_diff.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/row_diff_report.h"

namespace scenario {
namespace {

using Rows = std::vector<RecoveredRow>;

RecoveredRow Row(RowKind kind, std::vector<std::int64_t> numbers,
                 std::string text = "") {
  return {kind, std::string(RowKindKeyword(kind)), std::move(numbers),
          std::move(text)};
}

RecoveredRow Curve(const char* keyword, std::int64_t start,
                   std::int64_t length) {
  return {RowKind::kCurve, keyword, {start, length}, ""};
}

RecoveredRow Gradient(std::int64_t at, std::int64_t value) {
  return Row(RowKind::kGradient, {at, value});
}

RecoveredRow Board(std::int64_t at, std::int64_t vas = 110) {
  return Row(RowKind::kSpeedBoard, {at, vas, 120, 130, 0, 110, 120, 130, 0});
}

RecoveredRow Signal(std::int64_t at, std::int64_t s1 = 4) {
  return Row(RowKind::kSignal, {at, 2, s1, 0, 0, 0, 2, 1, 0, 0, 0});
}

RecoveredRow Slowdown(std::int64_t at, std::int64_t v, std::int64_t l,
                      std::int64_t f_ta = 0) {
  return Row(RowKind::kSlowdown, {at, v, l, 0, f_ta, 0});
}

RecoveredRow Station(std::int64_t at, const char* name, std::int64_t h,
                     std::int64_t m, std::int64_t s = 0) {
  return Row(RowKind::kStation,
             {at, 22, 400, 0, 0, 0, 2, 1, 0, 2, 1, 0, 60, h, m, s}, name);
}

struct Case {
  const char* name;
  Rows old_line, old_train, new_line, new_train;
  std::string expected;  // FormatRowDiffText
};

std::string Diff(const Case& c) {
  RecoveredDescription d[4];
  d[0].rows = c.old_line;
  d[1].rows = c.old_train;
  d[2].rows = c.new_line;
  d[3].rows = c.new_train;
  return FormatRowDiffText(DiffRows({&d[0], &d[1]}, {&d[2], &d[3]}));
}

TEST(RowDiff, ListsEachRowChangeOnce) {
  const Rows line = {Row(RowKind::kLength, {185700}),
                     Gradient(0, -2),
                     Gradient(1250, -4),
                     Gradient(3000, 1),
                     Board(1000),
                     Board(2000)};
  const Rows train = {Station(0, "Tarvo Centrale", 17, 15, 30),
                      Station(3100, "Tarvo San Rocco", 17, 18), Signal(2650),
                      Slowdown(17000, 30, 500)};
  const std::vector<Case> cases = {
      {"same rows", line, train, line, train, ""},
      {"board moved",
       {Board(1000)},
       {},
       {Board(1100)},
       {},
       "maximum-speed board at 1000 m moved to 1100 m\n"},
      {"slowdown moved, its speed changed",
       {},
       {Slowdown(17000, 30, 500)},
       {},
       {Slowdown(17500, 40, 500)},
       "slowdown at 17000 m moved to 17500 m, v 30 -> 40 km/h\n"},
      {"too different to be a move",
       {},
       {Slowdown(17000, 30, 500)},
       {},
       {Slowdown(17500, 40, 800)},
       "slowdown removed at 17000 m\n"
       "slowdown added at 17500 m: v 40 km/h, l 800 m, f_tt 0, f_ta 0, "
       "d_v 0\n"},
      {"no move past a row of the kind that stays",
       {Board(1000, 90), Board(2000)},
       {},
       {Board(2000), Board(3000, 90)},
       {},
       "maximum-speed board removed at 1000 m\n"
       "maximum-speed board added at 3000 m: vas 90 km/h, vbs 120 km/h, vcs "
       "130 km/h, strisces 0, vad 110 km/h, vbd 120 km/h, vcd 130 km/h, "
       "strisced 0\n"},
      {"no move past a row of the kind that went",
       {Gradient(0, -2), Gradient(1200, 3), Gradient(2500, -1)},
       {},
       {Gradient(0, -2), Gradient(4200, 3)},
       {},
       "gradient from 1200 m: 3 -> -2 per mille\n"
       "gradient from 2500 m: -1 -> -2 per mille\n"
       "gradient from 4200 m: -1 -> 3 per mille\n"},
      {"the nearest pair is the move",
       {},
       {Signal(5000), Signal(9000)},
       {},
       {Signal(8950)},
       "signal removed at 5000 m\nsignal at 9000 m moved to 8950 m\n"},
      {"field changed in place",
       {},
       {Signal(2650, 4)},
       {},
       {Signal(2650, 3)},
       "signal at 2650 m: s1 4 -> 3\n"},
      {"two rows at one metre: the equal ones pair first",
       {},
       {Signal(1000, 4), Signal(1000, 5)},
       {},
       {Signal(1000, 5)},
       "signal removed at 1000 m\n"},
      {"two rows at one metre, one changed",
       {},
       {Signal(1000, 4), Signal(1000, 5)},
       {},
       {Signal(1000, 5), Signal(1000, 6)},
       "signal at 1000 m: s1 4 -> 6\n"},
      {"profile value changed",
       {Gradient(0, -2), Gradient(1250, -4), Gradient(3000, 1)},
       {},
       {Gradient(0, -2), Gradient(1250, -5), Gradient(3000, 1)},
       {},
       "gradient from 1250 m: -4 -> -5 per mille\n"},
      {"profile run merged into the one before",
       {Gradient(0, -2), Gradient(1250, -4), Gradient(3000, 1)},
       {},
       {Gradient(0, -2), Gradient(3000, 1)},
       {},
       "gradient from 1250 m: -4 -> -2 per mille\n"},
      {"profile run split",
       {},
       {Row(RowKind::kSpeedLimit, {0, 30}),
        Row(RowKind::kSpeedLimit, {1000, 95})},
       {},
       {Row(RowKind::kSpeedLimit, {0, 30}),
        Row(RowKind::kSpeedLimit, {600, 60}),
        Row(RowKind::kSpeedLimit, {1000, 95})},
       "speed limit from 600 m: 30 -> 60 km/h\n"},
      {"profile run start moved",
       {Gradient(0, -2), Gradient(1250, -4)},
       {},
       {Gradient(0, -2), Gradient(1300, -4)},
       {},
       "gradient from 1250 m moved to 1300 m\n"},
      {"profile start moved and value changed: two runs",
       {Gradient(0, -2), Gradient(1250, -4)},
       {},
       {Gradient(0, -2), Gradient(1300, -5)},
       {},
       "gradient from 1250 m: -4 -> -2 per mille\n"
       "gradient from 1300 m: -4 -> -5 per mille\n"},
      {"profile row that changes nothing",
       {Gradient(0, -2)},
       {},
       {Gradient(0, -2), Gradient(500, -2)},
       {},
       "gradient added at 500 m: -2 per mille\n"},
      {"station matched by name when its position moved",
       {},
       {Station(0, "Tarvo Centrale", 17, 15, 30),
        Station(3100, "Tarvo San Rocco", 17, 18)},
       {},
       {Station(0, "Tarvo Centrale", 17, 15, 30),
        Station(3200, "Tarvo San Rocco", 17, 19)},
       "station \"Tarvo San Rocco\" at 3100 m moved to 3200 m, time 17:18:00 "
       "-> 17:19:00\n"},
      {"station renamed: matched by slot",
       {},
       {Station(0, "Tarvo Centrale", 17, 15, 30),
        Station(3100, "Rocco", 17, 18)},
       {},
       {Station(0, "Tarvo Centrale", 17, 15, 30),
        Station(3100, "San Rocco", 17, 18)},
       "station \"San Rocco\" at 3100 m: name \"Rocco\" -> \"San Rocco\"\n"},
      {"station added",
       {},
       {Station(0, "A", 17, 0)},
       {},
       {Station(0, "A", 17, 0), Station(900, "B", 17, 5)},
       "station \"B\" added at 900 m: kind 22, length 400 m, byte2 0, byte6 "
       "0, end flag 0, int1 2, int2 1, byte3 0, int3 2, int4 1, int5 0, "
       "byte4 60, time 17:05:00\n"},
      {"general rows by kind",
       {Row(RowKind::kLength, {185700}),
        Row(RowKind::kKilometreUno, {31100, 3050, 0})},
       {Row(RowKind::kClock, {17, 15, 30}), Row(RowKind::kSand, {220})},
       {Row(RowKind::kLength, {186000}),
        Row(RowKind::kKilometreUno, {31100, 3100, 0})},
       {Row(RowKind::kClock, {17, 16, 0})},
       "line length: 185700 -> 186000 m\n"
       "kilometre record \"uno\": offset 3050 -> 3100 m\n"
       "clock: 17:15:30 -> 17:16:00\n"
       "sand removed\n"},
      {"curve's side and class",
       {Curve("curvas1", 1350, 150)},
       {},
       {Curve("curvad3", 1350, 150)},
       {},
       "curve at 1350 m: keyword \"curvas1\" -> \"curvad3\"\n"},
      {"line before train, positions ascending across kinds",
       line,
       train,
       {Row(RowKind::kLength, {185700}), Gradient(0, -2), Gradient(1250, -4),
        Gradient(3000, 2), Board(1000), Board(2000, 100)},
       {Station(0, "Tarvo Centrale", 17, 15, 30),
        Station(3100, "Tarvo San Rocco", 17, 19), Signal(2650),
        Slowdown(17000, 30, 500), Slowdown(400, 60, 800)},
       "maximum-speed board at 2000 m: vas 110 -> 100 km/h\n"
       "gradient from 3000 m: 1 -> 2 per mille\n"
       "slowdown added at 400 m: v 60 km/h, l 800 m, f_tt 0, f_ta 0, d_v 0\n"
       "station \"Tarvo San Rocco\" at 3100 m: time 17:18:00 -> 17:19:00\n"},
      {"a row of no kind is passed over",
       {},
       {{static_cast<RowKind>(kRowKindCount), "?", {1}, ""}},
       {},
       {},
       ""},
      {"rows short of their fields",
       {},
       {Row(RowKind::kSignal, {2650, 2})},
       {},
       {Signal(2650)},
       "signal at 2650 m: s1 (none) -> 4, s2 (none) -> 0, s3 (none) -> 0, "
       "rapp (none) -> 0, dx (none) -> 2, d1 (none) -> 1, d2 (none) -> 0, "
       "d3 (none) -> 0, tempo (none) -> 0\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Diff(c), c.expected);
  }
}

}  // namespace
}  // namespace scenario
