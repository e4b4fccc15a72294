// The line rows recovered from compiled files compile, with the pair's own
// train description, to the same files byte for byte.

#include "tools/decompile_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "base/fake_file_system.h"
#include "base/file_system.h"
#include "compile/compile_stage.h"
#include "compile/small_pair_testing.h"
#include "line/builtin_line.h"
#include "model/cell_file.h"
#include "model/grid_file.h"
#include "model/param_file.h"
#include "model/scenario.h"
#include "tools/line_rows_text_testing.h"
#include "tools/scenario_files.h"
#include "train/builtin_train.h"

namespace scenario {
namespace {

// The three files of one compile, and the code it recorded.
struct CompiledFiles {
  std::string grid;  // empty without a grid
  std::string params;
  std::string cells;
  std::int32_t error_code = 0;
};

CompiledFiles Compile(const std::string& line, const std::string& train,
                      bool grid = true) {
  FakeFileSystem fs;
  CompileFiles files;
  files.line_description = "in/L_linea.txt";
  files.train_description = "in/L_T-.txt";
  files.delete_descriptions = false;
  files.grid_file = "out/L_linea.dat";
  files.param_file = "out/L_T.sim";
  files.cell_file = "out/L_T.dat";
  fs.files[files.line_description] = line;
  fs.files[files.train_description] = train;
  Scenario s;
  s.line_name = "L";
  s.train_name = "T";
  const CompileResult result = memorizza_percorso(s, grid ? 1 : 0, fs, files);
  // A compile that wrote nothing (an item in the header cell) counts as
  // one with a code.
  if (result.end != CompileEnd::kWritten) return {"", "", "", -1};
  return {fs.Contents(files.grid_file), fs.Contents(files.param_file),
          fs.Contents(files.cell_file), s.errors.error_code};
}

LoadedScenario Load(const CompiledFiles& files) {
  LoadedScenario loaded;
  EXPECT_TRUE(DecodeParamFile(files.params, &loaded.table));
  EXPECT_TRUE(DecodeCellFile(files.cells, &loaded.cells));
  if (!files.grid.empty()) {
    EXPECT_TRUE(DecodeGridFile(files.grid, &loaded.grid));
  }
  return loaded;
}

// "" when the files are the same, else the first differing byte of the
// first file that differs.
std::string FirstDifference(const CompiledFiles& a, const CompiledFiles& b) {
  const struct {
    const char* name;
    const std::string& x;
    const std::string& y;
  } files[] = {{".sim", a.params, b.params},
               {".dat", a.cells, b.cells},
               {"_linea.dat", a.grid, b.grid}};
  for (const auto& f : files) {
    if (f.x == f.y) continue;
    std::size_t at = 0;
    while (at < f.x.size() && at < f.y.size() && f.x[at] == f.y[at]) ++at;
    std::string where = std::string(f.name) + " offset " + std::to_string(at);
    if (f.name == std::string(".dat")) {
      where += " (cell " + std::to_string(at / kCellSize) + ", byte " +
               std::to_string(at % kCellSize) + ")";
    }
    return where + ": sizes " + std::to_string(f.x.size()) + " and " +
           std::to_string(f.y.size());
  }
  return "";
}

std::string BuiltinText(std::vector<std::string> lines) {
  lines.pop_back();  // the end marker is never written
  return DescriptionText(lines);
}

std::string ExampleText(const std::string& name) {
  std::string text;
  EXPECT_TRUE(
      RealFileSystem()
          .ReadFile(std::string(SCENARIO_DOCS_DIR "/example/") + name, &text)
          .ok())
      << name;
  return text;
}

// The small line with its main part replaced by rows (the general part
// kept), or with its general rows replaced too.
std::string SmallLineWith(const std::vector<std::string>& main,
                          std::vector<std::string> general = {}) {
  const std::vector<std::string> small = SmallLineRows();
  if (general.empty()) general.assign(small.begin() + 1, small.begin() + 9);
  std::vector<std::string> rows = {"[generale]"};
  rows.insert(rows.end(), general.begin(), general.end());
  rows.push_back("[linea]");
  rows.insert(rows.end(), main.begin(), main.end());
  rows.push_back("[fine]");
  return DescriptionText(rows);
}

std::vector<std::string> SmallGeneralWith(const std::string& uno,
                                          const std::string& due,
                                          const std::string& tre) {
  return {"lunghezza percorso,    7000",
          "progressiva chilometrica uno, " + uno,
          "progressiva chilometrica due, " + due,
          "progressiva chilometrica tre, " + tre,
          "sfondo uno,    1",
          "sfondo due,    2",
          "sfondo tre,    3",
          "ripetizione segnali 4 codici,    1050,    3000"};
}

struct PairCase {
  const char* name;
  std::string line;
  std::string train;
  bool grid = true;
};

std::vector<PairCase> PairCases() {
  const std::string small_train = SmallTrainText();
  return {
      {"built-in pair", BuiltinText(dati_linea()), BuiltinText(dati_treno())},
      {"example pair", ExampleText("Valle_linea.txt"),
       ExampleText("Valle_R 12-.txt")},
      {"small pair", SmallLineText(), small_train},
      {"small pair without a grid", SmallLineText(), small_train, false},
      {"touching curves",
       SmallLineWith({"curvas2, 1750, 50", "curvas2, 1800, 150",
                      "curvad1, 3000, 100", "curvad4, 3100, 100",
                      "curvas6, 5000, 20"}),
       small_train},
      {"a curve that starts before the plan metre",
       SmallLineWith(
           {"curvad2, 500, 300", "curvas3, 600, 400", "curvad5, 700, 100"}),
       small_train},
      {"overlapping mountain sides",
       SmallLineWith({"montagna, 3900, 4200, -3", "montagna, 300, 400, 1",
                      "montagna, 4300, 4500, 300", "montagna, 200, 250, 0",
                      "montagna, 1500, 3000, 12", "montagna, 2000, 2500, 11",
                      "montagna, 5000, 5400, 2", "montagna, 200, 300, 1",
                      "montagna, 5400, 5600, 12", "montagna, 5800, 6000, 2",
                      "montagna, 0, 0, 0", "montagna, 6000, 6200, 14",
                      "montagna, 6400, 6800, 12", "montagna, 100, 150, 1",
                      "montagna, 6400, 6800, 0", "montagna, 13500, 14000, 1",
                      "montagna, 100, 150, 2", "montagna, 13500, 13950, 4",
                      "montagna, 4800, 4810, 5"}),
       small_train},
      {"a mountain-side mark taken by a board",
       SmallLineWith({"montagna, 1500, 2300, 12",
                      "indicatori_vmax, 1600, 80, 0, 0, 0, , , , 0",
                      "cartello_indicatore, 1800, (Dev.)"}),
       small_train},
      {"gradient bytes that wrap and rows that fill one cell",
       SmallLineWith({"pendenza, 0, 200", "pendenza, 1000, -150",
                      "pendenza, 1025, 7", "pendenza, 2000, 155",
                      "pendenza, 13900, 1", "pendenza, 13900, 2",
                      "pendenza, 13900, -100"}),
       small_train},
      {"kilometre records out of order with flags",
       SmallLineWith({}, SmallGeneralWith("500, 1000, 1", "2000, 3000, 0",
                                          "1000, 50, 1")),
       small_train},
      {"kilometre records whose later starts are equal",
       SmallLineWith(
           {}, SmallGeneralWith("500, 100, 0", "500, 200, 1", "3000, 0, 0")),
       small_train},
      {"kilometre records ordered by offset",
       SmallLineWith({},
                     SmallGeneralWith("100, 300, 0", "-100, 0, 1", "0, 0, 0")),
       small_train},
      {"kilometre records cleared by a shared greatest start",
       SmallLineWith({},
                     SmallGeneralWith("500, 100, 0", "500, 200, 1", "0, 0, 0")),
       small_train},
      {"boards with an empty set, negative speeds and texts",
       SmallLineWith({"indicatori_vmax, 1000, 90, 95, 100, 0, , , , 0",
                      "indicatori_vmax, 1225, -7, 0, 3, -3, 13, 0, 2, 4",
                      "cartello_indicatore, 3000, (Km 1+0)",
                      "cartello_indicatore, 2500, \"a, b\"",
                      "cartello_indicatore, 5025, "}),
       small_train},
      // The stations' stop marks take the last indicator board, whose slot
      // no cell names (cell 105), and a speed board's kind and first word
      // (cell 9).
      {"boards whose cells the stations' stops took",
       SmallLineWith({"cartello_indicatore, 3000, (Kept)",
                      "cartello_indicatore, 5200, (Lost)",
                      "indicatori_vmax, 400, 10, 20, 30, 1, 50, 55, 60, 2"}),
       small_train},
  };
}

TEST(RecoverLineRows, RowsCompileWithTheTrainToTheSameBytes) {
  for (const PairCase& c : PairCases()) {
    SCOPED_TRACE(c.name);
    const CompiledFiles original = Compile(c.line, c.train, c.grid);
    ASSERT_EQ(original.error_code, 0) << "the case's pair does not compile";
    RecoveredDescription line;
    const Status status = RecoverLineRows(Load(original), &line);
    ASSERT_TRUE(status.ok()) << status.message();
    const std::string text = LineTextOfRows(line);
    const CompiledFiles again = Compile(text, c.train, c.grid);
    EXPECT_EQ(again.error_code, 0) << text;
    EXPECT_EQ(FirstDifference(original, again), "") << text;
  }
}

// A line of random rows of every main kind, overlapping and out of order,
// over the general rows of the small pair, with a random length.
std::string RandomLine(std::mt19937& rng) {
  auto pick = [&rng](std::int64_t lo, std::int64_t hi) {
    return std::uniform_int_distribution<std::int64_t>(lo, hi)(rng);
  };
  const std::int64_t length = pick(7000, 40000);
  // Positions a row may take: 100 m below the cell array's end.
  const std::int64_t top = length + 7000 - 150;
  auto n = [](std::int64_t v) { return std::to_string(v); };
  std::vector<std::string> general = SmallGeneralWith(
      n(pick(0, 5) * 500) + ", " + n(pick(-2, 60) * 50) + ", " + n(pick(0, 1)),
      n(pick(0, 5) * 500) + ", " + n(pick(0, 60) * 50) + ", " + n(pick(0, 1)),
      n(pick(0, 5) * 500) + ", " + n(pick(0, 60) * 50) + ", " + n(pick(0, 1)));
  general[0] = "lunghezza percorso, " + n(length);
  std::vector<std::string> rows;
  std::int64_t curve = 0;
  for (std::int64_t i = pick(0, 8); i > 0; --i) {
    curve += pick(-100, 3000);
    rows.push_back(
        std::string("curva") + (pick(0, 1) ? "s" : "d") + n(pick(1, 6)) + ", " +
        n(std::clamp<std::int64_t>(curve, 0, top)) + ", " + n(pick(1, 400)));
  }
  for (std::int64_t i = pick(0, 12); i > 0; --i) {
    rows.push_back("pendenza, " + n(pick(0, top)) + ", " + n(pick(-150, 200)));
  }
  const std::int64_t kTipi[] = {-3, 0, 1, 2, 3, 4, 10, 11, 12, 13, 14, 300};
  for (std::int64_t i = pick(0, 12); i > 0; --i) {
    const std::int64_t inizio = pick(0, top);
    rows.push_back("montagna, " + n(inizio) + ", " +
                   n(std::min(inizio + pick(-50, 1500), top)) + ", " +
                   n(kTipi[pick(0, 11)]));
  }
  for (std::int64_t i = pick(0, 5); i > 0; --i) {
    rows.push_back("indicatori_vmax, " + n(pick(0, top)) + ", " +
                   n(pick(-20, 160)) + ", " + n(pick(0, 160)) + ", " +
                   n(pick(0, 160)) + ", " + n(pick(-2, 3)) + ", " +
                   n(pick(0, 160)) + ", , " + n(pick(0, 160)) + ", " +
                   n(pick(0, 3)));
  }
  for (std::int64_t i = pick(0, 5); i > 0; --i) {
    rows.push_back("cartello_indicatore, " + n(pick(0, top)) + ", (Km " + n(i) +
                   ")");
  }
  std::shuffle(rows.begin(), rows.end(), rng);
  return SmallLineWith(rows, general);
}

TEST(RecoverLineRows, RandomLinesCompileToTheSameBytes) {
  std::mt19937 rng(28);
  int clean = 0;
  for (int i = 0; i < 150; ++i) {
    const std::string text = RandomLine(rng);
    SCOPED_TRACE(text);
    const CompiledFiles original = Compile(text, SmallTrainText());
    // Rows that take each other's cells, or the train's or the header
    // cell, give codes.
    if (original.error_code != 0) continue;
    ++clean;
    RecoveredDescription line;
    const Status status = RecoverLineRows(Load(original), &line);
    ASSERT_TRUE(status.ok()) << status.message();
    const std::string again_text = LineTextOfRows(line);
    const CompiledFiles again = Compile(again_text, SmallTrainText());
    EXPECT_EQ(again.error_code, 0) << again_text;
    ASSERT_EQ(FirstDifference(original, again), "") << again_text;
  }
  EXPECT_GT(clean, 75);
}

// Cell arrays too short for the rows that would give them: whatever the
// rows, recovering them reads and writes nothing outside the files.
TEST(RecoverLineRows, ShortArraysFullOfItemsAreRead) {
  for (const std::int32_t length : {-7000, -6925, -6900, 0}) {
    SCOPED_TRACE(length);
    LoadedScenario loaded;
    loaded.table[kGeneralSlot].long2 = length;
    loaded.cells.resize(static_cast<std::size_t>((length + 7000 + 25) / 50) +
                        1);
    for (TrackCell& cell : loaded.cells) {
      cell.kind = kKindMountainMark;
      cell.mountain = 200;
      cell.gradient = 7;
    }
    loaded.cells.back().kind = kKindSpeedBoard;
    loaded.cells.back().w2 = -32768;
    RecoveredDescription line;
    const Status status = RecoverLineRows(loaded, &line);
    EXPECT_TRUE(status.ok()) << status.message();
  }
}

TEST(RecoverLineRows, NotesWhatTheFilesCannotTell) {
  const CompiledFiles files = Compile(SmallLineText(), SmallTrainText(), false);
  RecoveredDescription line;
  ASSERT_TRUE(RecoverLineRows(Load(files), &line).ok());
  std::string notes;
  for (const RecoveryNote& n : line.notes) notes += n.text + "\n";
  for (const char* part : {"no line grid was given", "maximum-speed board",
                           "indicator board", "mountain-side type"}) {
    EXPECT_NE(notes.find(part), std::string::npos) << part << "\n" << notes;
  }
}

// Files that no compile writes are refused with a reason, and nothing is
// written into the description.
TEST(RecoverLineRows, RefusesFilesNoCompileWrites) {
  struct Case {
    const char* name;
    std::function<void(LoadedScenario&)> change;
    const char* message_part;
  };
  const Case kCases[] = {
      {"length",
       [](LoadedScenario& l) { l.table[kGeneralSlot].long2 = 1000001; },
       "above the 1000000 m"},
      {"cell count", [](LoadedScenario& l) { l.cells.pop_back(); },
       "the cell file has 280 cells, but a line of 7000 m has 281"},
      {"board slot", [](LoadedScenario& l) { l.cells[51].w2 = 81; },
       "cell 51 (metre 2500) holds an indicator board whose text slot 81"},
      {"board slot gap",
       [](LoadedScenario& l) {
         l.cells[51].w2 = 79;
         l.table[80].long1 = 5;
       },
       "slot 80 lies among the indicator boards' text slots"},
      {"repetition codes",
       [](LoadedScenario& l) { l.table[kTrainSlot].long3 = 7; }, "7 codes"},
      {"kilometre order",
       [](LoadedScenario& l) { l.table[kKilometreSlotSecond].long1 = 600; },
       "start at 500, 600 and 0 m"},
      {"grid size",
       [](LoadedScenario& l) {
         LineGrid grid;
         grid.Create(100);
         l.grid = grid;
       },
       "the line grid has 101 metres"},
      {"grid metre", [](LoadedScenario& l) { l.grid.SetDouble(700, 3, 700); },
       "metre 700 follows from the two metres before it by no straight"},
  };
  const LoadedScenario good = Load(Compile(SmallLineText(), SmallTrainText()));
  ASSERT_EQ(good.cells[51].kind, kKindIndicatorBoard);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    LoadedScenario changed = good;
    c.change(changed);
    RecoveredDescription line;
    line.rows.resize(1);
    const Status status = RecoverLineRows(changed, &line);
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.message().find(c.message_part), std::string::npos)
        << status.message();
    EXPECT_EQ(line.rows.size(), 1u);
  }
}

}  // namespace
}  // namespace scenario
