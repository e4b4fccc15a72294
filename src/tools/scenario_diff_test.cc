#include "tools/scenario_diff.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace scenario {
namespace {

// A small compiled scenario: 40 cells, the header words in cell 1, a
// kilometre record that puts the readings 3050 m ahead from metre 1000.
struct Side {
  std::vector<TrackCell> cells = std::vector<TrackCell>(40);
  ParamTable table;
  LineGrid grid;
  bool with_grid = false;

  Side() {
    cells[1].w2 = 5121;
    cells[1].w4 = 2352;
    table[81].long1 = 1000;
    table[81].long2 = 3050;
    table[84].long2 = 1000;
    table[85].text = "Valle";
    table[86].text = "R 12";
  }
  DiffSide view() const {
    return {&cells, &table, with_grid ? &grid : nullptr};
  }
};

TrackCell SpeedBoard() {
  TrackCell c;
  c.kind = kKindSpeedBoard;
  c.w2 = 1800;  // vas 90
  c.w4 = 1900;  // vbs 95
  c.w6 = 2000;  // vcs 100
  return c;
}

std::string Value(const std::optional<FieldValue>& v) {
  if (!v) return "(none)";
  if (const auto* n = std::get_if<std::int64_t>(&*v)) return std::to_string(*n);
  return '"' + std::get<std::string>(*v) + '"';
}

// One line per change: "removed maximum-speed board cell 21 at 1000 m km
// 1+000: vas=90 ..." or "changed ...: name old -> new".
std::string Render(const ScenarioDiff& d) {
  std::string out;
  for (const SlotChange& s : d.slots) {
    out += "slot " + std::to_string(s.slot) + " " + s.role + ": " +
           s.field.name + " " + Value(s.field.old_value) + " -> " +
           Value(s.field.new_value) + "\n";
  }
  for (const LineChange& c : d.line) {
    out += std::string(ChangeName(c.change)) + " " + c.kind + " cell " +
           std::to_string(c.first_cell);
    if (c.stretch) out += "-" + std::to_string(c.last_cell);
    out +=
        " at " + std::to_string(static_cast<int>(c.position)) + " m km " + c.km;
    if (c.stretch) {
      out += " to " + std::to_string(static_cast<int>(c.end_position)) +
             " m km " + c.end_km;
    }
    out += ":";
    for (const ItemField& f : c.fields) {
      out += " " + f.name + "=" + Value(f.value);
    }
    for (const FieldChange& f : c.changes) {
      out +=
          " " + f.name + " " + Value(f.old_value) + " -> " + Value(f.new_value);
    }
    out += "\n";
  }
  return out;
}

std::string Counts(const ScenarioDiff& d) {
  std::string out;
  for (const KindCount& c : d.counts) {
    out += c.kind + ":" + std::to_string(c.added) + "/" +
           std::to_string(c.removed) + "/" + std::to_string(c.changed) + " ";
  }
  return out;
}

TEST(ScenarioDiff, IdenticalScenariosGiveNothing) {
  Side a;
  a.cells[21] = SpeedBoard();
  a.cells[5].gradient = 96;
  a.with_grid = true;
  a.grid.Create(10);
  a.grid.SetInt16(0, 0, 0);
  // A NaN equals itself bit for bit.
  a.grid.SetDouble(2, std::numeric_limits<double>::quiet_NaN(), 2);
  const Side b = a;
  const ScenarioDiff d = DiffScenarios(a.view(), b.view());
  EXPECT_TRUE(d.empty());
  EXPECT_TRUE(d.counts.empty());
}

TEST(ScenarioDiff, MovedItemIsRemovedAndAddedWithItsReadings) {
  Side a;
  a.cells[19] = SpeedBoard();  // 900 m, before the kilometre record
  Side b;
  b.cells[21] = SpeedBoard();  // 1000 m, from the record on: km 4+050
  const ScenarioDiff d = DiffScenarios(a.view(), b.view());
  EXPECT_EQ(Render(d),
            "removed maximum-speed board cell 19 at 900 m km 0+900: vas=90 "
            "vbs=95 vcs=100 strisces=0 vad=0 vbd=0 vcd=0 strisced=0\n"
            "added maximum-speed board cell 21 at 1000 m km 4+050: vas=90 "
            "vbs=95 vcs=100 strisces=0 vad=0 vbd=0 vcd=0 strisced=0\n");
  EXPECT_EQ(Counts(d), "maximum-speed board:1/1/0 ");
}

TEST(ScenarioDiff, ItemsAndStretchesInPositionOrder) {
  Side a;
  Side b;
  // Approach marks: one removed, one changed, one added.
  a.cells[4].b11 = 83;
  a.cells[6].b11 = 81;
  b.cells[6].b11 = 82;
  b.cells[8].b11 = 81;
  // A code mark (it stands at cell x 50) that became a code-off mark:
  // removed, then added.
  a.cells[9].kind = kKindCodeMark;
  a.cells[9].w2 = 270;
  b.cells[9] = a.cells[9];
  b.cells[9].kind = kKindCodeOff;
  // A gradient from 500 m to 750 m, -4 instead of 0 per mille; with a
  // signal inside it whose time value changed: the stretch comes first.
  for (int k = 0; k < 40; ++k) a.cells[k].gradient = b.cells[k].gradient = 100;
  for (int k = 10; k < 15; ++k) b.cells[k].gradient = 96;
  a.cells[12].kind = kKindSignal;
  a.cells[12].w2 = 52;
  a.cells[12].w8 = 8;
  a.cells[12].b10 = 130;
  b.cells[12] = a.cells[12];
  b.cells[12].b10 = 145;
  b.cells[12].gradient = 96;
  const ScenarioDiff d = DiffScenarios(a.view(), b.view());
  EXPECT_EQ(Render(d),
            "removed approach mark cell 4 at 150 m km 0+150: value=83\n"
            "changed approach mark cell 6 at 250 m km 0+250: value 81 -> 82\n"
            "added approach mark cell 8 at 350 m km 0+350: value=81\n"
            "removed code mark cell 9 at 450 m km 0+450: code=270\n"
            "added code-off mark cell 9 at 450 m km 0+450: w2=270\n"
            "changed gradient cell 10-14 at 500 m km 0+500 to 750 m km "
            "0+750: gradient 0 -> -4\n"
            "changed signal cell 12 at 550 m km 0+550: tempo 130 -> 145\n");
  EXPECT_EQ(Counts(d),
            "approach mark:1/1/1 code mark:0/1/0 code-off mark:1/0/0 "
            "gradient:0/0/1 signal:0/0/1 ");
}

TEST(ScenarioDiff, StretchesBreakWhereTheValuesChange) {
  Side a;
  Side b;
  // Speed limits: 30 -> 40 km/h over cells 2-3, then 30 -> 50 over 4-5;
  // equal at 6; 30 -> 40 again at 7.
  for (int k = 0; k < 40; ++k)
    a.cells[k].speed_step = b.cells[k].speed_step = 6;
  b.cells[2].speed_step = b.cells[3].speed_step = b.cells[7].speed_step = 8;
  b.cells[4].speed_step = b.cells[5].speed_step = 10;
  const ScenarioDiff d = DiffScenarios(a.view(), b.view());
  EXPECT_EQ(Render(d),
            "changed speed limit cell 2-3 at 100 m km 0+100 to 200 m km "
            "0+200: speed limit 30 -> 40\n"
            "changed speed limit cell 4-5 at 200 m km 0+200 to 300 m km "
            "0+300: speed limit 30 -> 50\n"
            "changed speed limit cell 7-7 at 350 m km 0+350 to 400 m km "
            "0+400: speed limit 30 -> 40\n");
}

TEST(ScenarioDiff, SlotsByFieldName) {
  Side a;
  Side b;
  b.table[84].long2 = 1200;  // line length
  b.table[86].int3 = 18;     // clock hours
  a.table[3].text = b.table[3].text = "Citt\xe0";
  a.table[3].long4 = 17 * 3600 + 15 * 60 + 30;
  b.table[3].long4 = 17 * 3600 + 16 * 60;
  // Slot 80 is a board's text: the cell that refers to it says so.
  a.cells[30].kind = b.cells[30].kind = kKindIndicatorBoard;
  a.cells[30].w2 = b.cells[30].w2 = 80;
  a.table[80].text = "(Dev.)";
  b.table[80].text = "(Dev.I.)";
  b.table[0].int2 = 7;  // nothing is kept in slot 0
  b.table[85].long4 = 32107;
  const ScenarioDiff d = DiffScenarios(a.view(), b.view());
  EXPECT_EQ(Render(d),
            "slot 0 unused slot: int2 0 -> 7\n"
            "slot 3 station 3 \"Citt\xc3\xa0\": time \"17:15:30\" -> "
            "\"17:16:00\"\n"
            "slot 80 board text: text \"(Dev.)\" -> \"(Dev.I.)\"\n"
            "slot 84 general values: line length 1000 -> 1200\n"
            "slot 85 line: weighted race code 0 -> 32107\n"
            "slot 86 train: clock hours 0 -> 18\n"
            // The board shows its new text where it stands.
            "changed indicator board cell 30 at 1450 m km 4+500: text "
            "\"(Dev.)\" -> \"(Dev.I.)\"\n");
  EXPECT_EQ(Counts(d), "parameter:0/0/6 indicator board:0/0/1 ");
}

TEST(ScenarioDiff, LongerArrayAddsItsItemsAndReportsTheExtent) {
  Side a;
  Side b;
  b.cells.resize(50);
  b.cells[45] = SpeedBoard();
  b.cells[45].w8 = 21;
  for (TrackCell& c : b.cells) c.gradient = 100;  // not compared beyond 40
  const ScenarioDiff d = DiffScenarios(a.view(), b.view());
  ASSERT_TRUE(d.extent.has_value());
  EXPECT_EQ(d.extent->old_cells, 40);
  EXPECT_EQ(d.extent->new_cells, 50);
  EXPECT_EQ(Render(d),
            "changed gradient cell 0-39 at 0 m km 0+000 to 2000 m km 5+050: "
            "gradient -100 -> 0\n"
            "added maximum-speed board cell 45 at 2200 m km 5+250: vas=90 "
            "vbs=95 vcs=100 strisces=2 vad=0 vbd=0 vcd=0 strisced=1\n");
  EXPECT_EQ(Counts(d),
            "cell array:0/0/1 gradient:0/0/1 maximum-speed board:1/0/0 ");
}

TEST(ScenarioDiff, GridGivesWhereThePlansPartAndTheLargestDisplacement) {
  Side a;
  a.with_grid = true;
  a.grid.Create(2000);
  for (int m = 0; m <= 1998; ++m) a.grid.SetDouble(m, 0, m);
  Side b = a;
  // From metre 1200 the new plan bends away: 3 m at 1500, 4 m at 1998.
  for (int m = 1200; m <= 1998; ++m) {
    b.grid.SetDouble(m, m < 1500 ? 1 : m < 1998 ? 3 : 4, m);
  }
  ScenarioDiff d = DiffScenarios(a.view(), b.view());
  ASSERT_TRUE(d.grid.has_value());
  EXPECT_EQ(d.grid->first_metre, 1200);
  EXPECT_EQ(d.grid->first_km, "4+250");
  EXPECT_EQ(d.grid->largest, 4);
  EXPECT_EQ(d.grid->largest_metre, 1998);
  EXPECT_EQ(d.grid->largest_km, "5+048");
  EXPECT_EQ(Counts(d), "line grid:0/0/1 ");

  // A metre empty on one side differs but has no distance.
  b = a;
  b.grid.SetDouble(1999, 0, 1999);
  d = DiffScenarios(a.view(), b.view());
  ASSERT_TRUE(d.grid.has_value());
  EXPECT_EQ(d.grid->first_metre, 1999);
  EXPECT_EQ(d.grid->largest, 0);

  // Equal over the common metres, one grid longer; or one grid missing.
  b = a;
  b.grid.Create(2100);
  for (int m = 0; m <= 1998; ++m) b.grid.SetDouble(m, 0, m);
  d = DiffScenarios(a.view(), b.view());
  ASSERT_TRUE(d.grid.has_value());
  EXPECT_FALSE(d.grid->first_metre.has_value());
  EXPECT_EQ(d.grid->old_metres, 2001);
  EXPECT_EQ(d.grid->new_metres, 2101);
  b.with_grid = false;
  d = DiffScenarios(a.view(), b.view());
  ASSERT_TRUE(d.grid.has_value());
  EXPECT_TRUE(d.grid->old_exists);
  EXPECT_FALSE(d.grid->new_exists);
}

}  // namespace
}  // namespace scenario
