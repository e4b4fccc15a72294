#include "plot/sheet_panels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/fake_file_system.h"
#include "compile/compile_stage.h"
#include "compile/small_pair_testing.h"
#include "line/builtin_line.h"
#include "model/cell_file.h"
#include "model/grid_file.h"
#include "model/line_grid.h"
#include "model/param_file.h"
#include "model/param_table.h"
#include "model/scenario.h"
#include "plot/scenario_sheet.h"
#include "plot/sheet_layout.h"
#include "plot/small_scenario_testing.h"
#include "plot/svg_testing.h"
#include "train/builtin_train.h"

namespace scenario {
namespace {

// A pair of descriptions through the real compile stage, and the sheet
// drawn from the files it wrote, decoded as plot decodes them.
struct CompiledSheet {
  std::vector<TrackCell> cells;
  ParamTable table;
  LineGrid grid;
  std::string svg;
};

std::unique_ptr<CompiledSheet> CompileAndDraw(const std::string& line,
                                              const std::string& train) {
  auto out = std::make_unique<CompiledSheet>();
  FakeFileSystem fs;
  CompileFiles files;
  files.line_description = "in/L_linea.txt";
  files.train_description = "in/L_T-.txt";
  files.grid_file = "out/L_linea.dat";
  files.param_file = "out/L_T.sim";
  files.cell_file = "out/L_T.dat";
  fs.files[files.line_description] = line;
  fs.files[files.train_description] = train;
  Scenario s;
  s.line_name = "L";
  s.train_name = "T";
  const CompileResult result = memorizza_percorso(s, 1, fs, files);
  EXPECT_EQ(result.end, CompileEnd::kWritten);
  EXPECT_EQ(s.errors.error_code, 0);
  EXPECT_TRUE(DecodeCellFile(fs.files[files.cell_file], &out->cells));
  EXPECT_TRUE(DecodeParamFile(fs.files[files.param_file], &out->table));
  EXPECT_TRUE(DecodeGridFile(fs.files[files.grid_file], &out->grid));
  SheetScenario sheet;
  sheet.cells = &out->cells;
  sheet.table = &out->table;
  sheet.grid = &out->grid;
  out->svg = DrawScenarioSheet(sheet, SheetOptions{});
  return out;
}

std::unique_ptr<CompiledSheet> BuiltinSheet() {
  return CompileAndDraw(DescriptionText(dati_linea()),
                        DescriptionText(dati_treno()));
}
std::unique_ptr<CompiledSheet> SmallPairSheet() {
  return CompileAndDraw(SmallLineText(), SmallTrainText());
}

std::string SmallScenarioSheet(const SmallScenarioData& data,
                               const SheetOptions& options = {}) {
  SheetScenario s;
  s.cells = &data.cells;
  s.table = &data.table;
  s.grid = &data.grid;
  return DrawScenarioSheet(s, options);
}

std::string Group(const std::string& id) { return "//s:g[@id='" + id + "']"; }

constexpr const char* kShapes[] = {"path", "rect", "circle", "line"};
constexpr char kNotInLegend[] = "[not(ancestor::s:g[@class='legend'])]";

// Every panel: a group with a frame of its own.
std::vector<std::string> PanelIds(const ParsedSvg& doc) {
  return doc.Strings("//s:g[s:rect[@class='frame']]/@id");
}

// Maps positions along the line onto a panel's frame, as the sheet does.
struct FrameAxis {
  double from, to;
  SheetBox frame;

  double X(double position) const {
    return frame.x0 + (position - from) / (to - from) * (frame.x1 - frame.x0);
  }
};

FrameAxis AxisOf(const ParsedSvg& doc, const std::string& panel) {
  const ParsedSvg::Element f =
      doc.Elements(Group(panel) + "/s:rect[@class='frame']").at(0);
  return {std::stod(*doc.First("/s:svg/@data-from-m")),
          std::stod(*doc.First("/s:svg/@data-to-m")), *ShapeBox("rect", f)};
}

// The mountain band runs over the cells the stretch rows filled, and only
// there; each stretch's tooltip names its type.
TEST(SheetPanels, MountainBandCoversTheMountainStretches) {
  {
    SCOPED_TRACE("the small pair: one stretch, 1500 to 1700 m, type 2");
    const auto compiled = SmallPairSheet();
    const ParsedSvg doc(compiled->svg);
    ASSERT_TRUE(doc.ok());
    const FrameAxis axis = AxisOf(doc, "mountain");
    const auto bands = doc.Elements(Group("mountain") + "/s:rect[not(@class)]");
    ASSERT_EQ(bands.size(), 1u);
    const SheetBox band = *ShapeBox("rect", bands[0]);
    EXPECT_NEAR(band.x0, axis.X(1500), 0.01);
    EXPECT_NEAR(band.x1, axis.X(1700), 0.01);
    EXPECT_NE(bands[0].text.find("mountain side type 2"), std::string::npos);
    // The row asks for a mark on every fourth cell: cell 33 of 30 to 33.
    const auto marks = doc.Elements(Group("mountain") + "/s:path");
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_NEAR(ShapeBox("path", marks[0])->x0, axis.X(1650), 0.01);
  }
  {
    SCOPED_TRACE("the built-in run: one band per run of filled cells");
    const auto compiled = BuiltinSheet();
    const ParsedSvg doc(compiled->svg);
    ASSERT_TRUE(doc.ok());
    const FrameAxis axis = AxisOf(doc, "mountain");
    const std::vector<TrackCell>& cells = compiled->cells;
    std::vector<std::pair<double, double>> runs;  // metres
    for (std::size_t n = 0; n < cells.size(); ++n) {
      const double from = static_cast<double>(n) * sheet::kMetresPerCell;
      if (cells[n].mountain == 0 || from >= axis.to) continue;
      if (!runs.empty() && runs.back().second == from &&
          cells[n - 1].mountain == cells[n].mountain) {
        runs.back().second = from + sheet::kMetresPerCell;
      } else {
        runs.emplace_back(from, from + sheet::kMetresPerCell);
      }
    }
    ASSERT_GE(runs.size(), 9u);  // the nine stretch rows, some joined
    const auto bands = doc.Elements(Group("mountain") + "/s:rect[not(@class)]");
    ASSERT_EQ(bands.size(), runs.size());
    for (std::size_t i = 0; i < runs.size(); ++i) {
      SCOPED_TRACE(runs[i].first);
      const SheetBox b = *ShapeBox("rect", bands[i]);
      EXPECT_NEAR(b.x0, axis.X(runs[i].first), 0.01);
      EXPECT_NEAR(b.x1, std::max(axis.X(runs[i].second), b.x0 + 1), 0.01);
    }
  }
  {
    SCOPED_TRACE("no stretch: an empty band that says so");
    const ParsedSvg doc(SmallScenarioSheet(SmallScenarioData()));
    EXPECT_EQ(doc.Count(Group("mountain") + "/s:rect[not(@class)]"), 0u);
    EXPECT_EQ(doc.Count(Group("mountain") + "//s:text[contains(., 'no "
                                            "mountain side')]"),
              1u);
  }
}

// What a legend entry stands for: its element and its colour (the fill,
// or the stroke of a hollow or unfilled mark).
std::string MarkKey(const std::string& element, const ParsedSvg::Element& e) {
  const std::string fill = e.Get("fill");
  const bool hollow = fill.empty() || fill == "none" || fill == "#fff";
  return element + " " + (hollow ? e.Get("stroke") : fill);
}

// Each kind of mark a panel draws (its element and colour) has an entry in
// that panel's legend, and every entry is named. The frame, the value
// scale's lines and the labels' leaders are no marks; the plan's scale bar
// and north arrow are labelled where they stand.
void ExpectLegendsNameEveryMark(const std::string& svg) {
  const ParsedSvg doc(svg);
  ASSERT_TRUE(doc.ok());
  const std::vector<std::string> panels = PanelIds(doc);
  EXPECT_GE(panels.size(), 10u);
  for (const std::string& panel : panels) {
    SCOPED_TRACE(panel);
    const std::string legend = Group(panel) + "/s:g[@class='legend']";
    ASSERT_EQ(doc.Count(legend), 1u);
    std::set<std::string> named;
    std::size_t swatches = 0;
    for (const char* element : kShapes) {
      for (const auto& e : doc.Elements(legend + "/s:" + element)) {
        named.insert(MarkKey(element, e));
        ++swatches;
      }
    }
    const std::vector<std::string> texts = doc.Strings(legend + "/s:text");
    EXPECT_GE(texts.size(), std::max<std::size_t>(swatches, 1));
    for (const std::string& t : texts) EXPECT_FALSE(t.empty());
    for (const char* element : kShapes) {
      for (const auto& e :
           doc.Elements(Group(panel) + "//s:" + element + kNotInLegend +
                        "[not(@class)][not(ancestor::s:g[@id='scale-bar' or "
                        "@id='north'])]")) {
        EXPECT_TRUE(named.count(MarkKey(element, e)) != 0)
            << MarkKey(element, e) << " has no legend entry";
      }
    }
  }
}

TEST(SheetPanels, LegendsNameEveryMarkDrawn) {
  {
    SCOPED_TRACE("built-in run");
    ExpectLegendsNameEveryMark(BuiltinSheet()->svg);
  }
  {
    SCOPED_TRACE("small pair");
    ExpectLegendsNameEveryMark(SmallPairSheet()->svg);
  }
  {
    SCOPED_TRACE("small scenario, a stretch of it");
    SheetOptions options;
    options.from_km = 1;
    options.to_km = 3;
    ExpectLegendsNameEveryMark(
        SmallScenarioSheet(SmallScenarioData(), options));
  }
}

// Every shape of a panel, by its geometry, lies inside the panel's frame.
// The legend stands beside the frame, and a turned shape (the north
// arrow) is left out.
void ExpectShapesInsideTheirPanels(const std::string& svg) {
  const ParsedSvg doc(svg);
  ASSERT_TRUE(doc.ok());
  for (const std::string& panel : PanelIds(doc)) {
    SCOPED_TRACE(panel);
    const SheetBox frame = AxisOf(doc, panel).frame;
    constexpr double kSlack = 0.01;
    for (const char* element : kShapes) {
      for (const auto& e :
           doc.Elements(Group(panel) + "//s:" + element + kNotInLegend +
                        "[not(@class='frame')][not(@transform)]")) {
        const std::optional<SheetBox> b = ShapeBox(element, e);
        ASSERT_TRUE(b.has_value()) << e.Get("d");
        EXPECT_TRUE(b->x0 >= frame.x0 - kSlack && b->x1 <= frame.x1 + kSlack &&
                    b->y0 >= frame.y0 - kSlack && b->y1 <= frame.y1 + kSlack)
            << element << " " << b->x0 << "," << b->y0 << " to " << b->x1 << ","
            << b->y1 << " crosses the frame " << frame.x0 << "," << frame.y0
            << " to " << frame.x1 << "," << frame.y1;
      }
    }
  }
}

TEST(SheetPanels, NoShapeCrossesItsPanelsBox) {
  {
    SCOPED_TRACE("built-in run");
    ExpectShapesInsideTheirPanels(BuiltinSheet()->svg);
  }
  {
    SCOPED_TRACE("small pair");
    ExpectShapesInsideTheirPanels(SmallPairSheet()->svg);
  }
  // A station, a board and code marks stand at the ends of the range; the
  // top speed is a board's, so its mark stands at the panel's top.
  SmallScenarioData data;
  data.cells[60] = data.cells[59];  // no board of 145 km/h: 100 is the top
  data.Place(101, kKindSignal, 52, 11, 11, 8);  // a signal at 5000 m
  data.Place(100, kKindWarningBoard, 60, 0, 0, 0);
  for (const double width : {1600.0, 480.0}) {
    SCOPED_TRACE(width);
    SheetOptions options;
    options.width = width;
    const std::string svg = SmallScenarioSheet(data, options);
    const ParsedSvg doc(svg);
    ASSERT_EQ(doc.First(Group("speed") + "/@data-max-kmh"), "100");
    ExpectShapesInsideTheirPanels(svg);
  }
}

// The speed in force over a slowdown: the lower of its speed and the
// limit, from its start cell to its end cell, and nowhere else.
TEST(SheetPanels, SlowdownSpeedIsDrawnWhereASlowdownAppliesAndOnlyThere) {
  struct Case {
    const char* what;
    std::int16_t start_kmh;  // the start cell's speed; -1: no slowdown
    bool ended;
    double from, to;  // metres
    double kmh;       // as drawn
  };
  // The small scenario's slowdown: start cell 32, end cell 42, under a
  // limit of 95 km/h; its range ends at 5000 m.
  const Case kCases[] = {
      {"below the limit", 60, true, 1550, 2050, 60},
      {"above the limit", 120, true, 1550, 2050, 95},
      {"never ended: to the end", 60, false, 1550, 5000, 60},
      {"no slowdown", -1, false, 0, 0, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    SmallScenarioData data;
    if (c.start_kmh < 0) {
      for (const int k : {8, 32, 42}) data.cells[k].kind = kKindNone;
    } else {
      data.cells[32].w2 = c.start_kmh;
      if (!c.ended) data.cells[42].kind = kKindNone;
    }
    const ParsedSvg doc(SmallScenarioSheet(data));
    ASSERT_TRUE(doc.ok());
    const std::vector<ParsedSvg::Element> paths =
        doc.Elements(Group("speed") + "/s:path[@id='slowdown-speed']");
    if (c.start_kmh < 0) {
      EXPECT_EQ(paths.size(), 0u);
      continue;
    }
    ASSERT_EQ(paths.size(), 1u);
    const FrameAxis axis = AxisOf(doc, "speed");
    const double top_kmh =
        std::stod(*doc.First(Group("speed") + "/@data-max-kmh"));
    const double y =
        axis.frame.y1 -
        c.kmh / top_kmh * (sheet::kSpeedHeight - sheet::kSpeedHeadroom);
    const SheetBox b = *ShapeBox("path", paths[0]);
    EXPECT_NEAR(b.x0, axis.X(c.from), 0.01);
    EXPECT_NEAR(b.x1, axis.X(c.to), 0.01);
    EXPECT_NEAR(b.y0, y, 0.01);
    EXPECT_NEAR(b.y1, y, 0.01);
  }
  {
    SCOPED_TRACE("the small pair: 6000 to 6500 m at 60 km/h");
    const auto compiled = SmallPairSheet();
    const ParsedSvg doc(compiled->svg);
    const FrameAxis axis = AxisOf(doc, "speed");
    const auto paths =
        doc.Elements(Group("speed") + "/s:path[@id='slowdown-speed']");
    ASSERT_EQ(paths.size(), 1u);
    const SheetBox b = *ShapeBox("path", paths[0]);
    EXPECT_NEAR(b.x0, axis.X(6000), 0.01);
    EXPECT_NEAR(b.x1, axis.X(6500), 0.01);
  }
}

}  // namespace
}  // namespace scenario
