// One item stands at one position in every view of a compiled scenario:
// inspect, inspect --raw and diff place it by ItemPositionText.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "base/fake_file_system.h"
#include "compile/compile_stage.h"
#include "compile/small_pair_testing.h"
#include "model/cell_file.h"
#include "model/cell_items.h"
#include "model/param_file.h"
#include "model/scenario.h"
#include "tools/diff_report.h"
#include "tools/inspect.h"
#include "tools/scenario_diff.h"

namespace scenario {
namespace {

// The small pair compiled: its cell and parameter files.
struct Compiled {
  std::string cells;
  std::string params;
};

Compiled Compile(const std::vector<std::string>& line,
                 const std::vector<std::string>& train) {
  FakeFileSystem fs;
  CompileFiles files;
  files.line_description = "in/L_linea.txt";
  files.train_description = "in/L_T-.txt";
  files.delete_descriptions = false;
  files.grid_file = "out/L_linea.dat";
  files.param_file = "out/L_T.sim";
  files.cell_file = "out/L_T.dat";
  fs.files[files.line_description] = DescriptionText(line);
  fs.files[files.train_description] = DescriptionText(train);
  Scenario s;
  s.line_name = "L";
  s.train_name = "T";
  const CompileResult result = memorizza_percorso(s, 0, fs, files);
  EXPECT_EQ(result.end, CompileEnd::kWritten);
  EXPECT_EQ(s.errors.error_code, 0);
  return {fs.files[files.cell_file], fs.files[files.param_file]};
}

std::string Inspect(const Compiled& c, bool raw, bool json = false) {
  ParamTable table;
  EXPECT_TRUE(DecodeParamFile(c.params, &table));
  InspectOptions options;
  options.raw = raw;
  options.json = json;
  options.params = &table;
  std::string out;
  std::string error;
  EXPECT_TRUE(InspectImage(c.cells, BinaryKind::kCells, options, &out, &error))
      << error;
  return out;
}

std::string Diff(const Compiled& a, const Compiled& b, bool json = false) {
  std::vector<TrackCell> cells_a;
  std::vector<TrackCell> cells_b;
  ParamTable table_a;
  ParamTable table_b;
  EXPECT_TRUE(DecodeCellFile(a.cells, &cells_a));
  EXPECT_TRUE(DecodeCellFile(b.cells, &cells_b));
  EXPECT_TRUE(DecodeParamFile(a.params, &table_a));
  EXPECT_TRUE(DecodeParamFile(b.params, &table_b));
  const ScenarioDiff diff = DiffScenarios({&cells_a, &table_a, nullptr},
                                          {&cells_b, &table_b, nullptr});
  return json ? FormatDiffJson(diff) : FormatDiffText(diff);
}

// The line of a listing that holds every part, or "".
std::string LineWith(const std::string& listing,
                     const std::vector<std::string>& parts) {
  std::istringstream in(listing);
  std::string line;
  while (std::getline(in, line)) {
    bool all = true;
    for (const std::string& p : parts) all = all && line.find(p) != line.npos;
    if (all) return line;
  }
  return "";
}

// A JSON entry's position as the text listings give it: "1050 m", or a
// span "950-1000 m" (inspect: a null position beside its span; diff: an
// item's entry with an end).
std::string JsonPositionText(const nlohmann::json& entry) {
  if (entry.contains("span")) {
    return SpanText({entry["span"]["from"].get<std::int64_t>(),
                     entry["span"]["to"].get<std::int64_t>()});
  }
  const std::int64_t at = std::llround(entry["position"].get<double>());
  if (entry.contains("end_position")) {
    return SpanText({at, entry["end_position"].get<std::int64_t>()});
  }
  return std::to_string(at) + " m";
}

// The entry of list at cell whose field key is value, or null.
const nlohmann::json* EntryAt(const nlohmann::json& list, long long cell,
                              const char* key, const std::string& value) {
  for (const nlohmann::json& e : list) {
    if (e.value("cell", -1LL) == cell && e.value(key, "") == value) return &e;
  }
  return nullptr;
}

std::string Padded(const char* format, long long n) {
  char text[32];
  std::snprintf(text, sizeof text, format, n);
  return text;
}

TEST(ItemPositions, EveryViewShowsAnItemAtOnePosition) {
  // The new scenario moves the mountain side by 50 m, renames the second
  // station, and changes the first signal's d type and tempo and the code
  // change's code: each item below then shows in the diff as well.
  std::vector<std::string> line = SmallLineRows();
  std::vector<std::string> train = SmallTrainRows();
  const Compiled before = Compile(line, train);
  line[16] = "montagna,   1550,  1750,  12";
  train[13] =
      "stazione,   5000, 2, 600, 1, 1, 0, 4, 1, 0, 5, 1, 1, 60, 17, 25, 0, "
      "Borgo Nuovo";
  train[17] = "segnale,    1050,   2, 5, 1,  1, 0,    1,  2,1,1, 200";
  train[20] = "abbattimento,    1500,    250";
  const Compiled after = Compile(line, train);
  const std::string diff = Diff(before, after);
  const nlohmann::json diff_json =
      nlohmann::json::parse(Diff(before, after, true))["line"];

  struct Case {
    bool old_side;  // the item stands in the old scenario only
    long long cell;
    const char* item;  // as inspect and diff name it
    const char* at;    // the one position text
  };
  const Case kCases[] = {
      // Items whose kind tells the row's rule: the row's position.
      {false, 22, "signal", "1050 m"},
      {false, 30, "code mark", "1500 m"},
      {true, 33, "mountain-side mark", "1650 m"},
      {false, 34, "mountain-side mark", "1700 m"},
      // Marks whose row the files do not tell: the cell's span.
      {false, 20, "approach mark", "950-1000 m"},
      {false, 105, "stop mark", "5200-5250 m"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.item) + " in cell " + std::to_string(c.cell));
    const Compiled& side = c.old_side ? before : after;
    const std::string author = Inspect(side, false);
    const std::string raw = Inspect(side, true);
    EXPECT_NE(LineWith(author, {std::string(c.at) + "  ",
                                Padded("cell %6lld", c.cell), c.item}),
              "")
        << author;
    EXPECT_NE(LineWith(raw, {Padded("cell %7lld", c.cell) + "  ",
                             std::string(" ") + c.at + "  "}),
              "")
        << raw;
    EXPECT_NE(LineWith(diff, {std::string(c.item) + " at " + c.at + ",",
                              Padded("(cell %lld)", c.cell)}),
              "")
        << diff;
    const nlohmann::json listing =
        nlohmann::json::parse(Inspect(side, false, true));
    const nlohmann::json* listed =
        EntryAt(listing["items"], c.cell, "name", c.item);
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(JsonPositionText(*listed), c.at) << *listed;
    const nlohmann::json* changed = EntryAt(diff_json, c.cell, "kind", c.item);
    ASSERT_NE(changed, nullptr) << diff_json;
    EXPECT_EQ(JsonPositionText(*changed), c.at) << *changed;
  }
}

}  // namespace
}  // namespace scenario
