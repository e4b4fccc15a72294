#include "tools/inspect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "base/fake_file_system.h"
#include "line/row_fields.h"
#include "model/cell_file.h"
#include "model/cell_items.h"
#include "model/grid_file.h"
#include "model/line_grid.h"
#include "model/param_file.h"
#include "model/param_table.h"
#include "model/track_cells.h"
#include "run/run_sequence.h"
#include "tools/inspect_author.h"

namespace scenario {
namespace {

TEST(Inspect, KindFromTheFileName) {
  EXPECT_EQ(BinaryKindFromName("d/Tarvo_Cembrio_linea.dat"), BinaryKind::kGrid);
  EXPECT_EQ(BinaryKindFromName("Tarvo_Cembrio_Exp 5147.dat"),
            BinaryKind::kCells);
  EXPECT_EQ(BinaryKindFromName("x.sim"), BinaryKind::kParams);
  EXPECT_FALSE(BinaryKindFromName("x.txt").has_value());
  EXPECT_EQ(BinaryKindFromWord("params"), BinaryKind::kParams);
  EXPECT_FALSE(BinaryKindFromWord("cell").has_value());
}

TEST(Inspect, RefusesImagesThatDoNotFitTheLayout) {
  const std::string kCases[][2] = {
      {"cells", std::string(14, '\0')},
      {"cells", ""},
      {"params", std::string(87 * 34 - 1, '\0')},
      {"params", std::string(87 * 34 + 1, '\0')},
      {"grid", std::string("\x07\x00", 2)},
      {"grid", std::string("\x00\x00", 2)},  // an x without its y
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c[0] + " " + std::to_string(c[1].size()));
    std::string out;
    std::string error;
    EXPECT_FALSE(
        InspectImage(c[1], *BinaryKindFromWord(c[0]), {}, &out, &error));
    EXPECT_NE(error.find("not a"), std::string::npos);
  }
  // A parameter file of 87 empty slots is accepted.
  std::string out;
  std::string error;
  EXPECT_TRUE(InspectImage(std::string(87 * 34, '\0'), BinaryKind::kParams, {},
                           &out, &error))
      << error;
}

TEST(Inspect, CellsListOnlyCellsWithItemsUnlessAllAreAsked) {
  TrackCells cells;
  cells.Create(4);
  cells[1].w2 = 5121;  // header values stand in a cell of kind 0
  cells[1].w4 = 2352;
  cells[3].kind = kKindSignal;
  cells[3].w2 = 52;
  cells[2].gradient = 100;  // a line property alone is not an item
  const std::string image = EncodeCellFile(cells);

  InspectOptions options;
  options.json = true;
  options.raw = true;
  std::string out;
  std::string error;
  ASSERT_TRUE(InspectImage(image, BinaryKind::kCells, options, &out, &error));
  const nlohmann::json doc = nlohmann::json::parse(out);
  ASSERT_EQ(doc["cells"].size(), 2u);
  EXPECT_EQ(doc["cells"][0]["index"], 1);
  EXPECT_EQ(doc["cells"][0]["w2"], 5121);
  EXPECT_EQ(doc["cells"][0]["w4"], 2352);
  EXPECT_EQ(doc["cells"][1]["kind_name"], "signal");
  EXPECT_EQ(doc["last_cell"], 4);

  options.all = true;
  ASSERT_TRUE(InspectImage(image, BinaryKind::kCells, options, &out, &error));
  EXPECT_EQ(nlohmann::json::parse(out)["cells"].size(), 5u);

  options.json = false;
  options.all = false;
  ASSERT_TRUE(InspectImage(image, BinaryKind::kCells, options, &out, &error));
  EXPECT_NE(out.find("signal"), std::string::npos);
  EXPECT_NE(out.find("w2=5121"), std::string::npos);
}

// The storage view and the author view call each kind by the same name.
TEST(Inspect, BothViewsNameEveryKindAlike) {
  constexpr std::uint8_t kKinds[] = {
      kKindSignal,     kKindSlowdownEnd, kKindSlowdownStart,  kKindWarningBoard,
      kKindPreWarning, kKindSpeedBoard,  kKindStopMark,       kKindMountainMark,
      kKindCodeMark,   kKindCodeOff,     kKindIndicatorBoard, 8};
  for (const std::uint8_t kind : kKinds) {
    SCOPED_TRACE(static_cast<int>(kind));
    TrackCells cells;
    cells.Create(3);
    cells[2].kind = kind;
    const std::string image = EncodeCellFile(cells);
    InspectOptions options;
    options.json = true;
    std::string out;
    std::string error;
    ASSERT_TRUE(InspectImage(image, BinaryKind::kCells, options, &out, &error));
    const std::string author_name =
        nlohmann::json::parse(out)["items"][0]["name"];
    options.raw = true;
    ASSERT_TRUE(InspectImage(image, BinaryKind::kCells, options, &out, &error));
    EXPECT_EQ(nlohmann::json::parse(out)["cells"][0]["kind_name"], author_name);
    options.json = false;
    ASSERT_TRUE(InspectImage(image, BinaryKind::kCells, options, &out, &error));
    EXPECT_NE(out.find("m  " + author_name + " "), std::string::npos) << out;
  }
}

TEST(Inspect, ParamsShowFieldNamesAndTextsAsUtf8) {
  ParamTable table;
  table[85].text = "Citt\xE0";
  table[85].int1 = 610;
  InspectOptions options;
  options.raw = true;
  std::string out;
  std::string error;
  ASSERT_TRUE(InspectImage(EncodeParamFile(table), BinaryKind::kParams, options,
                           &out, &error));
  EXPECT_NE(out.find("slot 85:"), std::string::npos);
  EXPECT_NE(out.find("int1=610"), std::string::npos);
  EXPECT_NE(out.find("text=\"Citt\xC3\xA0\""), std::string::npos);
  EXPECT_EQ(out.find("slot 84:"), std::string::npos);  // empty slots hidden
}

TEST(Inspect, GridSummaryAndSamples) {
  LineGrid grid;
  grid.Create(2500);
  grid.SetInt16(0, 0, 0);
  grid.SetInt16(1, 0, 1);
  for (int m = 2; m <= 2498; ++m) grid.SetDouble(m, 0.0, m);
  InspectOptions options;
  options.json = true;
  options.grid_every = 1000;
  std::string out;
  std::string error;
  ASSERT_TRUE(InspectImage(EncodeGridFile(grid), BinaryKind::kGrid, options,
                           &out, &error))
      << error;
  const nlohmann::json doc = nlohmann::json::parse(out);
  EXPECT_EQ(doc["extended_length"], 2500);
  EXPECT_EQ(doc["int16"], 2);
  EXPECT_EQ(doc["empty"], 2);
  EXPECT_EQ(doc["double"], 2497);
  ASSERT_EQ(doc["samples"].size(), 4u);  // 0, 1000, 2000 and the last
  EXPECT_EQ(doc["samples"][1]["y"], 1000.0);
  EXPECT_EQ(doc["samples"][3]["tag"], "empty");
  EXPECT_EQ(doc["extent"]["max_y"], 2498.0);
}

// The built-in run's files, compiled in memory.
struct BuiltinImages {
  std::string cells;
  std::string params;
};

const BuiltinImages& Builtin() {
  static const BuiltinImages images = [] {
    FakeFileSystem fs;
    std::ostringstream err;
    EXPECT_EQ(RunBuiltinScenario(fs, "f", err), 0) << err.str();
    return BuiltinImages{fs.Contents("f/Tarvo_Cembrio_Exp 5147.dat"),
                         fs.Contents("f/Tarvo_Cembrio_Exp 5147.sim")};
  }();
  return images;
}

// The first line of text that starts with start and holds every one of
// parts; "" when there is none.
std::string LineWith(const std::string& text, const std::string& start,
                     std::initializer_list<std::string> parts) {
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(start, 0) != 0) continue;
    bool all = true;
    for (const std::string& p : parts) {
      all = all && line.find(p) != std::string::npos;
    }
    if (all) return line;
  }
  return "";
}

TEST(Inspect, GridTextKeepsEveryDigitOfExtremeValues) {
  LineGrid grid;
  grid.Create(3);
  grid.SetDouble(0, 1e300, -1e300);
  grid.SetDouble(1, -1e300, 1e300);
  grid.SetDouble(2, 0.5, -0.5);
  InspectOptions options;
  options.grid_every = 1;
  std::string out;
  std::string error;
  ASSERT_TRUE(InspectImage(EncodeGridFile(grid), BinaryKind::kGrid, options,
                           &out, &error))
      << error;
  // 1e300 has 301 digits before the point; a line cut short loses its end.
  const std::string line = LineWith(out, "metre        0:", {"(double)"});
  ASSERT_FALSE(line.empty()) << out;
  EXPECT_GT(line.size(), 2u * 301u);
  EXPECT_GT(LineWith(out, "extent:", {}).size(), 4u * 301u);
}

TEST(InspectForAuthors, BuiltinFilesInAuthorUnits) {
  ParamTable params;
  ASSERT_TRUE(DecodeParamFile(Builtin().params, &params));
  InspectOptions options;
  options.params = &params;
  std::string cells;
  std::string table;
  std::string error;
  ASSERT_TRUE(InspectImage(Builtin().cells, BinaryKind::kCells, options, &cells,
                           &error))
      << error;
  ASSERT_TRUE(InspectImage(Builtin().params, BinaryKind::kParams, options,
                           &table, &error))
      << error;

  struct Case {
    const std::string* view;
    const char* start;  // the line's start: position, or station number
    std::initializer_list<std::string> parts;
  };
  const Case cases[] = {
      // Profiles from where they begin: the first speed limit, and the
      // gradient of the row at 600.
      {&cells,
       "         0 m",
       {"from here:", "speed limit 30 km/h", "gradient 0 per mille",
        "adhesion 76"}},
      {&cells, "       600 m", {"from here: gradient -11 per mille"}},
      // Items at the position their row gives, with its kilometre reading
      // and their fields decoded.
      {&cells,
       "      1050 m",
       {"1+050", "signal", "s1 5", "d1 2", "tempo 255"}},
      {&cells, "      1000 m", {"maximum-speed board", "vas 90 km/h"}},
      {&cells, "     28000 m", {"indicator board", "(  Cippo  )(Km 28+000)"}},
      // The first station's stop mark names it; its cell comes from the
      // stretch's end, not from a position of its own: it shows the span.
      {&cells, "   400-450 m", {"0+400-0+450", "stop mark", "Tarvo Centrale"}},
      // Kilometre readings follow record "uno" from 31100 on.
      {&cells, "     56950 m", {"60+000", "(  Cippo  )(Km 60+000)"}},
      // The parameter file: stations by name with position and time,
      // general values, the kilometre record.
      {&table, "   1 ", {"0 m", "17:15:30", "kind   8", "\"Tarvo Centrale\""}},
      {&table, "  23 ", {"184600 m", "19:40:00", "\"Cembrio\""}},
      {&table,
       "line length",
       {"185700 m", "8 coaches", "clock at start 17:15:30"}},
      {&table, "signal repetition", {"7050 m to 185700 m, 9 codes"}},
      {&table, "  slot 81", {"31100 m, 3050 m, 0"}},
      {&table, "  slot 80", {"\"(  Cippo  )(Km 28+000)\""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start);
    EXPECT_NE(LineWith(*c.view, c.start, c.parts), "") << *c.view;
  }

  // JSON: items and profile changes carry their position in metres.
  options.json = true;
  ASSERT_TRUE(InspectImage(Builtin().cells, BinaryKind::kCells, options, &cells,
                           &error));
  const nlohmann::json doc = nlohmann::json::parse(cells);
  const nlohmann::json* signal = nullptr;
  for (const nlohmann::json& item : doc["items"]) {
    if (item["position"] == 1050.0) signal = &item;
  }
  ASSERT_NE(signal, nullptr);
  EXPECT_EQ((*signal)["name"], "signal");
  EXPECT_EQ((*signal)["cell"], 22);
  EXPECT_EQ((*signal)["km"], "1+050");
  EXPECT_EQ((*signal)["fields"]["s1"], 5);
  EXPECT_EQ((*signal)["fields"]["tempo"], 255);
  EXPECT_EQ(doc["profile"][1]["position"], 600.0);
  EXPECT_EQ(doc["profile"][1]["gradient"], -11);
  ASSERT_TRUE(InspectImage(Builtin().params, BinaryKind::kParams, options,
                           &table, &error));
  const nlohmann::json stations = nlohmann::json::parse(table)["stations"];
  ASSERT_EQ(stations.size(), 23u);
  EXPECT_EQ(stations[0]["name"], "Tarvo Centrale");
  EXPECT_EQ(stations[0]["time"], "17:15:30");

  // Without the parameter file: positions in metres, no readings or names.
  options.json = false;
  options.params = nullptr;
  ASSERT_TRUE(InspectImage(Builtin().cells, BinaryKind::kCells, options, &cells,
                           &error));
  EXPECT_NE(cells.find("(no parameter file beside it"), std::string::npos);
  EXPECT_NE(LineWith(cells, "      1050 m          -", {"signal"}), "");
  EXPECT_EQ(cells.find("Tarvo Centrale"), std::string::npos);
}

// A station's fields 4 to 13 carry the names the format reference and
// the editor give them, each with the value its slot keeps for it.
TEST(InspectForAuthors, StationFieldsByTheirRowNames) {
  ParamTable table;
  ParamSlot& s = table[1];
  s.byte1 = 2;
  s.long1 = 4700;
  s.long2 = 5300;
  s.long3 = 5000;
  s.text = "Borgo";
  s.byte2 = 1;
  s.byte6 = 2;
  s.byte5 = 3;
  s.int1 = 4;
  s.int2 = 5;
  s.byte3 = 6;
  s.int3 = 7;
  s.int4 = 8;
  s.int5 = 9;
  s.byte4 = 60;
  const std::string text = RenderParamsForAuthors(table, false);
  EXPECT_NE(text.find("byte2 1, byte6 2, end flag 3, int1 4, int2 5, byte3 6, "
                      "int3 7, int4 8, int5 9, byte4 60  \"Borgo\""),
            std::string::npos)
      << text;
  const nlohmann::json fields = nlohmann::json::parse(
      RenderParamsForAuthors(table, true))["stations"][0]["row_fields"];
  const auto names = RowFields(RowKind::kStation);
  for (std::size_t i = 3; i <= 12; ++i) {
    EXPECT_TRUE(fields.contains(std::string(names[i].name))) << names[i].name;
  }
  EXPECT_EQ(fields["end flag"], 3);
  EXPECT_EQ(fields["byte4"], 60);
}

// inspect and diff name an item's fields as its row names them (the cell
// decoding sits below the row field table, so the two are held together
// here).
TEST(InspectForAuthors, ItemFieldsTakeTheirRowsNames) {
  struct Case {
    std::uint8_t kind;
    RowKind row;
  };
  const Case kCases[] = {
      {kKindSignal, RowKind::kSignal},
      {kKindSlowdownStart, RowKind::kSlowdown},
      {kKindSlowdownEnd, RowKind::kSlowdown},
      {kKindWarningBoard, RowKind::kSlowdown},
      {kKindSpeedBoard, RowKind::kSpeedBoard},
      {kKindCodeMark, RowKind::kCodeChange},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(KindName(c.kind));
    TrackCell cell;
    cell.kind = c.kind;
    const auto row = RowFields(c.row);
    for (const ItemField& f : ItemFields(cell, 22, nullptr)) {
      EXPECT_TRUE(std::any_of(row.begin(), row.end(), [&](const auto& g) {
        return g.name == f.name;
      })) << f.name;
    }
  }
}

}  // namespace
}  // namespace scenario
