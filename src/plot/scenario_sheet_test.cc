#include "plot/scenario_sheet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "model/line_grid.h"
#include "model/param_table.h"
#include "plot/small_scenario_testing.h"
#include "plot/svg_testing.h"

namespace scenario {
namespace {

class SmallScenario : public testing::Test {
 protected:
  SheetScenario Scenario(bool with_grid) const {
    SheetScenario s;
    s.cells = &data_.cells;
    s.table = &data_.table;
    s.grid = with_grid ? &data_.grid : nullptr;
    s.line_name = "Tarvo_Cembrio";
    s.train_name = "Exp 5147";
    return s;
  }

  SmallScenarioData data_;
  std::vector<TrackCell>& cells_ = data_.cells;
  ParamTable& table_ = data_.table;
  LineGrid& grid_ = data_.grid;
};

const char* const kGroups[] = {"title",    "gradient", "speed",   "adhesion",
                               "mountain", "stations", "signals", "slowdowns",
                               "boards",   "codes",    "axis"};

std::string GroupPath(const char* id) {
  return std::string("//s:g[@id='") + id + "']";
}

// The marks of a panel, not the swatches of its legend.
constexpr char kNotInLegend[] = "[not(ancestor::s:g[@class='legend'])]";

TEST_F(SmallScenario, SheetHasEveryPartAndTheNamesAsText) {
  const std::string svg = DrawScenarioSheet(Scenario(true), SheetOptions{});
  const ParsedSvg doc(svg);
  ASSERT_TRUE(doc.ok());
  for (const char* id : kGroups) {
    SCOPED_TRACE(id);
    EXPECT_EQ(doc.Count(GroupPath(id)), 1u);
  }
  EXPECT_EQ(doc.Count(GroupPath("plan")), 1u);
  EXPECT_EQ(doc.Count(GroupPath("plan-missing")), 0u);

  const std::vector<std::string> texts = doc.Strings("//s:text");
  const auto has_text_with = [&](const std::string& part) {
    return std::any_of(texts.begin(), texts.end(), [&](const std::string& t) {
      return t.find(part) != std::string::npos;
    });
  };
  // Each station's name, converted from Windows-1252, in the station row
  // and on the plan.
  for (const char* name : {"Tarvo", "Citt\xC3\xA0 <Alta> & Bassa", "Cembrio"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(has_text_with(name));
    EXPECT_EQ(doc.Count(GroupPath("stations") + "//s:text[starts-with(., '" +
                        std::string(name).substr(0, 4) + "')]"),
              1u);
    EXPECT_EQ(
        doc.Count(GroupPath("plan-stations") + "//s:text[starts-with(., '" +
                  std::string(name).substr(0, 4) + "')]"),
        1u);
  }
  EXPECT_TRUE(has_text_with("17:15:30"));
  EXPECT_TRUE(has_text_with("18:00"));
  EXPECT_TRUE(has_text_with("(  Cippo  )(Km 2+000)"));
  EXPECT_TRUE(has_text_with("Tarvo_Cembrio \xE2\x80\x94 Exp 5147"));
  EXPECT_EQ(doc.First("//s:text[@id='race-codes']"),
            "race codes: plain 2352, weighted 32107");
  // The kilometre jump at 3000 m shows on the axis.
  EXPECT_TRUE(has_text_with("km 3+000 = 3+500"));
  // Two signals, two speed boards, three slowdown items, two code marks.
  EXPECT_EQ(doc.Count(GroupPath("signals") + "/s:path"), 2u);
  EXPECT_EQ(doc.Count(GroupPath("speed-boards") + "/s:g"), 2u);
  EXPECT_EQ(doc.Count(GroupPath("slowdowns") + "/*[s:title]"), 3u);
  EXPECT_EQ(doc.Count(GroupPath("codes") + "/s:path"), 2u);
  // The second board's d set decodes to its own speeds.
  EXPECT_TRUE(doc.First(GroupPath("speed-boards") + "/s:g[2]/s:title")
                  ->find("d set 130/140/145") != std::string::npos);
}

// Words no placement writes still say what they hold: a negative speed
// board word shows no speed, a board naming a slot outside the table says
// that it has no text.
TEST_F(SmallScenario, BoardWordsNoPlacementWritesAreShownAsNone) {
  data_.Place(21, kKindSpeedBoard, -1, 95 * 20, -2626, -21);
  data_.Place(41, kKindIndicatorBoard, kParamSlotCount, 0, 0, 0);
  data_.Place(51, kKindIndicatorBoard, -1, 0, 0, 0);
  const ParsedSvg doc(DrawScenarioSheet(Scenario(true), SheetOptions{}));
  ASSERT_TRUE(doc.ok());
  const std::string board = GroupPath("speed-boards") + "/s:g[1]";
  const std::optional<std::string> tip = doc.First(board + "/s:title");
  ASSERT_TRUE(tip.has_value());
  EXPECT_NE(tip->find(": 0/95/0 km/h, stripes -2"), std::string::npos) << *tip;
  EXPECT_EQ(tip->find("d set"), std::string::npos) << *tip;
  EXPECT_EQ(doc.Count(board + "/s:path"), 1u);
  const std::vector<std::string> texts =
      doc.Strings(GroupPath("boards") + "/s:text[starts-with(., '(no')]");
  EXPECT_EQ(texts, (std::vector<std::string>{"(no text: slot 87)",
                                             "(no text: slot -1)"}));
}

TEST_F(SmallScenario, PlanExtentIsTheGrids) {
  double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  for (std::int64_t m = 0; m <= 11998; ++m) {
    min_x = std::min(min_x, grid_.x(m));
    max_x = std::max(max_x, grid_.x(m));
    min_y = std::min(min_y, grid_.y(m));
    max_y = std::max(max_y, grid_.y(m));
  }
  const ParsedSvg doc(DrawScenarioSheet(Scenario(true), SheetOptions{}));
  ASSERT_TRUE(doc.ok());
  const std::string plan = GroupPath("plan");
  EXPECT_NEAR(std::stod(*doc.First(plan + "/@data-min-x")), min_x, 1e-6);
  EXPECT_NEAR(std::stod(*doc.First(plan + "/@data-max-x")), max_x, 1e-6);
  EXPECT_NEAR(std::stod(*doc.First(plan + "/@data-min-y")), min_y, 1e-6);
  EXPECT_NEAR(std::stod(*doc.First(plan + "/@data-max-y")), max_y, 1e-6);
  EXPECT_EQ(doc.First(plan + "/@data-points"), "11999");
  // The line turned east: the plan is wider than a hair.
  EXPECT_GT(max_x - min_x, 1000);
}

TEST_F(SmallScenario, WithoutGridThePlanIsLeftOutAndTheSheetSaysSo) {
  const ParsedSvg doc(DrawScenarioSheet(Scenario(false), SheetOptions{}));
  ASSERT_TRUE(doc.ok());
  EXPECT_EQ(doc.Count(GroupPath("plan")), 0u);
  EXPECT_EQ(doc.First(GroupPath("plan-missing") + "/s:text"),
            "No line grid file: the plan of the line is left out.");
  for (const char* id : kGroups) {
    SCOPED_TRACE(id);
    EXPECT_EQ(doc.Count(GroupPath(id)), 1u);
  }
}

TEST_F(SmallScenario, UnstampedCodesAreSaidSo) {
  cells_[1].w2 = 0;
  table_[kLineSlot].int1 = 0;
  const ParsedSvg doc(DrawScenarioSheet(Scenario(false), SheetOptions{}));
  EXPECT_EQ(doc.First("//s:text[@id='race-codes']"),
            "race codes: plain not stamped, weighted not stamped");
}

TEST_F(SmallScenario, KilometreRangeChoosesTheStretch) {
  SheetOptions options;
  options.from_km = 1;
  options.to_km = 4;  // reading 4000 = position 3500
  const auto range = ResolveSheetRange(Scenario(true), options);
  ASSERT_TRUE(range);
  EXPECT_EQ(range->from, 1000);
  EXPECT_EQ(range->to, 3500);

  const ParsedSvg doc(DrawScenarioSheet(Scenario(true), options));
  ASSERT_TRUE(doc.ok());
  EXPECT_EQ(doc.First("/s:svg/@data-from-m"), "1000");
  EXPECT_EQ(doc.First("/s:svg/@data-to-m"), "3500");
  // Only the station at 2000 m lies in the stretch; the plan still shows
  // all three and highlights the stretch.
  EXPECT_EQ(doc.Count(GroupPath("stations") + "//s:text[@data-slot]"), 1u);
  EXPECT_EQ(doc.Count(GroupPath("plan-stations") + "//s:text"), 3u);
  EXPECT_EQ(doc.Count("//s:path[@id='plan-shown']"), 1u);

  struct Case {
    std::optional<double> from, to;
    bool ok;
  };
  const Case kCases[] = {
      {3.2, 3.4, false},  // inside the jump from 3+000 to 3+500
      {6, 7, false},      // beyond the line
      {4, 1, false},
      {std::numeric_limits<double>::quiet_NaN(), 2, false},
      {std::nullopt, 0.5, true},
      {4.5, std::nullopt, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message()
                 << c.from.value_or(-1) << " " << c.to.value_or(-1));
    SheetOptions o;
    o.from_km = c.from;
    o.to_km = c.to;
    EXPECT_EQ(ResolveSheetRange(Scenario(true), o).has_value(), c.ok);
  }
}

TEST_F(SmallScenario, NoTwoTextsOverlap) {
  for (const bool with_grid : {true, false}) {
    SCOPED_TRACE(with_grid);
    const ParsedSvg doc(DrawScenarioSheet(Scenario(with_grid), SheetOptions{}));
    ASSERT_TRUE(doc.ok());
    EXPECT_EQ(OverlappingTexts(doc), std::vector<std::string>{});
  }
}

// A straight line of 30 km running north, with stations every 5 km: its
// plan is turned to run along the sheet and takes a narrow band, its
// labels clear of each other and of the marks.
TEST(ScenarioSheet, StraightLinePlanTakesANarrowBand) {
  const std::int32_t length = 30000;
  std::vector<TrackCell> cells((length + 7000) / 50 + 1);
  for (TrackCell& c : cells) {
    c.gradient = 100;
    c.speed_step = 20;
  }
  ParamTable table;
  table[kGeneralSlot].long2 = length;
  const char* const kNames[] = {
      "Alba", "Borgo Nuovo", "Castel Vecchio", "Doria",
      "Erbe", "Fonte",       "Gallo di Sopra"};
  for (int k = 0; k < 7; ++k) {
    ParamSlot& s = table[kFirstStationSlot + k];
    s.long3 = std::min(k * 5000, length - 500);
    s.long1 = s.long3 - 250;
    s.long2 = s.long3 + 250;
    s.text = kNames[k];
  }
  LineGrid grid;
  grid.Create(length + 7000);
  grid.SetInt16(0, 0, 0);
  grid.SetInt16(1, 0, 1);
  for (std::int64_t m = 2; m <= length + 7000 - 2; ++m) {
    grid.SetDouble(m, 0, static_cast<double>(m));
  }
  SheetScenario s;
  s.cells = &cells;
  s.table = &table;
  s.grid = &grid;
  const ParsedSvg doc(DrawScenarioSheet(s, SheetOptions{}));
  ASSERT_TRUE(doc.ok());
  const double sheet_height = std::stod(*doc.First("/s:svg/@height"));
  const double plan_height =
      std::stod(*doc.First(GroupPath("plan") + "/s:rect[1]/@height"));
  EXPECT_LE(plan_height, sheet_height / 4);
  // North, the line's direction, points to the right.
  EXPECT_EQ(doc.First(GroupPath("plan") + "/@data-turn-degrees"), "90");
  EXPECT_EQ(doc.Count(GroupPath("plan-stations") + "/s:text"), 7u);
  EXPECT_EQ(OverlappingTexts(doc), std::vector<std::string>{});
  // No label covers a mark of the plan.
  std::vector<SheetBox> marks;
  for (const ParsedSvg::Element& c :
       doc.Elements(GroupPath("plan") + "//s:circle" + kNotInLegend)) {
    const double r = c.Number("r");
    marks.push_back({c.Number("cx") - r, c.Number("cy") - r, c.Number("cx") + r,
                     c.Number("cy") + r, "mark"});
  }
  ASSERT_EQ(marks.size(), 8u);  // the start and seven stations
  for (const ParsedSvg::Element& t :
       doc.Elements(GroupPath("plan") + "//s:text" + kNotInLegend)) {
    const SheetBox label = EstimatedTextBox(t);
    for (const SheetBox& mark : marks) {
      EXPECT_FALSE(label.Overlaps(mark)) << t.text;
    }
  }
}

// Decoded files are only checked for their layout: any byte values must
// still give a well-formed sheet.
TEST_F(SmallScenario, GarbageContentStillDrawsAValidSheet) {
  std::uint32_t seed = 12345;
  const auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
  };
  for (TrackCell& c : cells_) {
    c.kind = static_cast<std::uint8_t>(next() % 16);
    c.w2 = static_cast<std::int16_t>(next());
    c.w4 = static_cast<std::int16_t>(next());
    c.w6 = static_cast<std::int16_t>(next());
    c.w8 = static_cast<std::int16_t>(next());
    c.b10 = static_cast<std::uint8_t>(next());
    c.speed_step = static_cast<std::uint8_t>(next());
    c.gradient = static_cast<std::uint8_t>(next());
    c.adhesion = static_cast<std::uint8_t>(next());
  }
  for (int slot = 0; slot < kParamSlotCount; ++slot) {
    std::string text;
    for (int i = 0; i < 12; ++i) text += static_cast<char>(next());
    table_[slot].text = text;
    table_[slot].long1 = static_cast<std::int32_t>(next() << 8);
    table_[slot].long2 = static_cast<std::int32_t>(next() << 8);
    table_[slot].long3 = static_cast<std::int32_t>(next() << 8);
    table_[slot].long4 = static_cast<std::int32_t>(next() << 8);
    table_[slot].int3 = static_cast<std::int16_t>(next());
  }
  const double nan = std::numeric_limits<double>::quiet_NaN();
  grid_.SetDouble(500, nan, 1);
  grid_.SetDouble(501, std::numeric_limits<double>::infinity(), 1);
  grid_.SetDouble(502, 1e300, -1e300);
  for (const double width : {0.0, nan, 1e9, 900.0}) {
    SCOPED_TRACE(width);
    SheetOptions options;
    options.width = width;
    const std::string svg = DrawScenarioSheet(Scenario(true), options);
    const ParsedSvg doc(svg);
    EXPECT_TRUE(doc.ok());
    EXPECT_EQ(svg.find("nan"), std::string::npos);
    EXPECT_EQ(svg.find("inf"), std::string::npos);
  }
}

// The format allows a line of 1000 km: 1,007,001 plan metres. What is drawn
// is cut to the output's resolution, so the document stays small.
TEST(ScenarioSheet, ThousandKilometreLineIsDecimated) {
  std::vector<TrackCell> cells(20141);
  for (TrackCell& c : cells) {
    c.gradient = 100;
    c.speed_step = 28;
    c.adhesion = 80;
  }
  for (std::size_t k = 30; k + 30 < cells.size(); k += 20) {
    cells[k].kind = kKindSignal;
  }
  ParamTable table;
  table[kGeneralSlot].long2 = 1000000;
  LineGrid grid;
  grid.Create(1007000);
  grid.SetInt16(0, 0, 0);
  grid.SetInt16(1, 0, 1);
  double hx = 0, hy = 1;
  for (std::int64_t m = 2; m <= 1006998; ++m) {
    // Gentle S-bends every 20 km.
    const double k = ((m / 20000) % 2 ? 0.00005 : -0.00005);
    const double nx = hx + k * hy;
    const double ny = hy - k * hx;
    const double norm = std::hypot(nx, ny);
    hx = nx / norm;
    hy = ny / norm;
    grid.SetDouble(m, grid.x(m - 1) + hx, grid.y(m - 1) + hy);
  }
  SheetScenario s;
  s.cells = &cells;
  s.table = &table;
  s.grid = &grid;
  const std::string svg = DrawScenarioSheet(s, SheetOptions{});
  const ParsedSvg doc(svg);
  ASSERT_TRUE(doc.ok());
  EXPECT_EQ(doc.First(GroupPath("plan") + "/@data-points"), "1006999");
  EXPECT_LT(svg.size(), 1500000u);
}

}  // namespace
}  // namespace scenario
