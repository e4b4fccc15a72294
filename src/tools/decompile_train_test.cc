// Recovers the train rows of compiled pairs and compiles them again with
// the pair's own line description: the three files must come back byte for
// byte, whatever the line engineer's half does.

#include "tools/decompile_train.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/fake_file_system.h"
#include "base/windows1252.h"
#include "compile/compile_stage.h"
#include "compile/small_pair_testing.h"
#include "line/builtin_line.h"
#include "model/scenario.h"
#include "tools/recovered_text.h"
#include "tools/scenario_files.h"
#include "train/builtin_train.h"

namespace scenario {
namespace {

CompileFiles Files() {
  CompileFiles f;
  f.line_description = "/s/Valle_linea.txt";
  f.train_description = "/s/Valle_R 12-.txt";
  f.grid_file = "/s/Valle_linea.dat";
  f.param_file = "/s/Valle_R 12.sim";
  f.cell_file = "/s/Valle_R 12.dat";
  f.delete_descriptions = false;
  return f;
}

// One compile of a pair in memory: the three files and the codes recorded.
struct Compiled {
  FakeFileSystem fs;
  std::vector<std::string> codes;

  const std::string& File(const std::string& path) { return fs.files[path]; }
};

void CompilePair(const std::string& line, const std::string& train,
                 Compiled* out) {
  const CompileFiles files = Files();
  out->fs.files[files.line_description] = line;
  out->fs.files[files.train_description] = train;
  Scenario s;
  s.line_name = "Valle";
  s.train_name = "R 12";
  const CompileResult result = memorizza_percorso(s, 1, out->fs, files);
  ASSERT_EQ(result.end, CompileEnd::kWritten);
  for (const auto& d : s.errors.diagnostics) out->codes.push_back(d.message);
}

// Where two compiles' files first differ, in words; "" when they agree.
std::string FirstDifference(Compiled& a, Compiled& b) {
  const CompileFiles files = Files();
  for (const std::string& path :
       {files.cell_file, files.param_file, files.grid_file}) {
    const std::string& x = a.File(path);
    const std::string& y = b.File(path);
    std::size_t at = 0;
    while (at < x.size() && at < y.size() && x[at] == y[at]) ++at;
    if (at == x.size() && at == y.size()) continue;
    std::ostringstream what;
    what << path << " differs first at offset " << at;
    if (path == files.cell_file) {
      what << " (cell " << at / 15 << ", byte " << at % 15 << ")";
    }
    if (at < x.size() && at < y.size()) {
      what << ": " << int{static_cast<unsigned char>(x[at])} << " in the "
           << "original, " << int{static_cast<unsigned char>(y[at])}
           << " recompiled";
    } else {
      what << ": sizes " << x.size() << " and " << y.size();
    }
    return what.str();
  }
  return "";
}

void Load(Compiled& compiled, LoadedScenario* loaded) {
  const CompileFiles files = Files();
  ScenarioFileSet set;
  set.param_file = files.param_file;
  set.cell_file = files.cell_file;
  set.grid_file = files.grid_file;
  const Status s = LoadScenarioFiles(set, compiled.fs, loaded);
  ASSERT_TRUE(s.ok()) << s.message();
}

std::string Windows1252Text(const std::vector<std::string>& utf8_lines) {
  std::string text;
  for (const std::string& line : utf8_lines) {
    const std::optional<std::string> bytes = Utf8ToWindows1252(line);
    text += bytes.value_or(line) + "\r\n";
  }
  return text;
}

std::string ExampleFile(const std::string& name) {
  std::ifstream in(std::string(SCENARIO_DOCS_DIR) + "/example/" + name,
                   std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The small pair's train with rows added before its closing "[fine]".
std::string SmallTrainWith(const std::vector<std::string>& rows) {
  std::vector<std::string> lines = SmallTrainRows();
  lines.insert(lines.end() - 1, rows.begin(), rows.end());
  return DescriptionText(lines);
}

struct PairCase {
  const char* name;
  std::string line;
  std::string train;
};

std::vector<PairCase> Pairs() {
  const std::string small_line = SmallLineText();
  // A third station whose approach marks (cells 129 to 132) meet the
  // look-back marks of a signal at 6700 m (cells 133, 131, 129, 127).
  const std::string station =
      "stazione, 6600, 22, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 60, 17, 40, 0, "
      "Fondo";
  const std::string signal = "segnale, 6700, 2, 4, 0, 0, 0, 2, 1, 0, 0, 0";
  // Two signals of different types whose look-back cells overlap.
  const std::string signal_a = "segnale, 2050, 2, 5, 1, 1, 0, 2, 2, 1, 1, 0";
  const std::string signal_b = "segnale, 2150, 2, 3, 1, 1, 0, 0, 0, 0, 0, 0";
  return {
      {"built-in pair", Windows1252Text(dati_linea()),
       Windows1252Text(dati_treno())},
      {"example pair", ExampleFile("Valle_linea.txt"),
       ExampleFile("Valle_R 12-.txt")},
      {"small pair", small_line, SmallTrainText()},
      {"signal before a station whose marks overwrite its own", small_line,
       SmallTrainWith({signal, station})},
      {"station before a signal whose marks overwrite its own", small_line,
       SmallTrainWith({station, signal})},
      {"signal under a later station's stop mark", small_line,
       SmallTrainWith(
           {"segnale, 6600, 2, 4, 0, 0, 0, 2, 1, 0, 0, 0", station})},
      {"signal of types 0 under a later station's stop mark", small_line,
       SmallTrainWith(
           {"segnale, 6600, 0, 4, 0, 0, 0, 0, 1, 0, 0, 0", station})},
      {"three signals, one with every look-back mark overwritten", small_line,
       DescriptionText(
           {"[generale]", "segnale, 4650, 2, 5, 2, 9, 1, 1, 4, 7, 8, 0",
            "segnale, 4750, 1, 9, 8, 4, 1, 2, 8, 9, 4, 0",
            "segnale, 4450, 0, 5, 9, 0, 1, 0, 7, 9, 1, 0", "[fine]"})},
      {"slowdown whose warning board a later stop mark covers", small_line,
       DescriptionText({"[generale]", "rallentamento, 5000, 90, 500, 4, 1, 0",
                        "stazione, 3800, 22, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, "
                        "60, 17, 40, 0, Coperta",
                        "[fine]"})},
      {"slowdown whose end a later stop mark covers", small_line,
       DescriptionText({"[generale]", "rallentamento, 5000, 90, 500, 4, 1, 3",
                        "stazione, 5500, 22, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, "
                        "60, 17, 40, 0, Coperta",
                        "[fine]"})},
      {"slowdown of length 0 under a later stop mark", small_line,
       DescriptionText({"[generale]", "rallentamento, 5000, 90, 0, 4, 1, 0",
                        "stazione, 5000, 22, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, "
                        "60, 17, 40, 0, Coperta",
                        "[fine]"})},
      {"maximum-speed board of the line under a station's stop mark",
       small_line,
       DescriptionText({"[generale]",
                        "stazione, 100, 22, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, "
                        "60, 17, 40, 0, Sopra",
                        "[fine]"})},
      {"two signals overlapping, nearer first", small_line,
       SmallTrainWith({signal_a, signal_b})},
      {"two signals overlapping, farther first", small_line,
       SmallTrainWith({signal_b, signal_a})},
      {"slow slowdown walked by the post-pass, a signal after it", small_line,
       SmallTrainWith({"rallentamento, 3000, 30, 900, 5, 1, 7",
                       "segnale, 4000, 2, 4, 0, 0, 0, 2, 1, 0, 0, 0"})},
      {"slowdown at 1500 m, without a warning board", small_line,
       SmallTrainWith({"rallentamento, 1500, 50, 200, 0, 1, 0"})},
      {"slowdown at 1510 m, with a warning board", small_line,
       SmallTrainWith({"rallentamento, 1510, 50, 200, 0, 0, 0"})},
      {"slowdown of length 0", small_line,
       SmallTrainWith({"rallentamento, 3000, 120, 0, 3, 0, 0"})},
      {"slowdown whose d_v keeps no low bits", small_line,
       SmallTrainWith({"rallentamento, 3000, 120, 400, 3, 1, 65536"})},
      {"code change where the post-pass would mark", small_line,
       SmallTrainWith({"abbattimento, 5800, 270"})},
      {"code change of 180 where the post-pass would mark", small_line,
       SmallTrainWith({"abbattimento, 5800, 180"})},
      {"code change of 180 that moves a mark of the post-pass's walk",
       small_line,
       SmallTrainWith({"rallentamento, 3000, 30, 900, 5, 1, 7",
                       "abbattimento, 3450, 180"})},
      {"code of 0 and a code with no low bits", small_line,
       SmallTrainWith({"abbattimento, 3000, 0", "abbattimento, 3500, 65536"})},
      {"first station with the end flag, stations of kinds 6, 7 and 27",
       small_line,
       DescriptionText({"[generale]",
                        "stazione, 0, 2, 400, 1, 0, 1, 0, 0, 0, "
                        "0, 0, 0, 1, 17, 15, 30, Tarvo",
                        "stazione, 1500, 6, 400, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, "
                        "0, 0, 0, Sei",
                        "stazione, 2900, 7, 300, 1, 1, 1, 1, 1, 1, 1, 1, 1, "
                        "0, 0, 0, 0, Sette",
                        "stazione, 5000, 27, 800, 3, 4, 5, 6, 7, 8, 9, 10, "
                        "11, 12, 1, 2, 3, \"Ventisette, detta Sette \"",
                        "[fine]"})},
      {"signals with tempo 50, with sx 1, with types above 9, with a time byte "
       "of 50",
       small_line,
       SmallTrainWith({"segnale, 2000, 2, 1, 2, 3, 0, 0, 4, 5, 6, 50",
                       "segnale, 2650, 1, 1, 2, 3, 1, 1, 4, 5, 6, 50",
                       "segnale, 3000, 2, 1, 2, 3, 1, 5, 4, 5, 6, 0",
                       "segnale, 3300, 2, 1, 2, 3, 1, 5, 4, 5, 6, 306"})},
      {"speed limits and adhesions past the closing fill", small_line,
       SmallTrainWith({"velocita, 13900, 100", "velocita, 13900, 110",
                       "velocita, 13900, 120", "aderenza, 13900, 90",
                       "aderenza, 13900, 91"})},
  };
}

// Compiles the pair, recovers its train rows and compiles them with the
// pair's line: the files must agree byte for byte.
void ExpectRoundTrip(const PairCase& c) {
  Compiled original;
  ASSERT_NO_FATAL_FAILURE(CompilePair(c.line, c.train, &original));
  ASSERT_TRUE(original.codes.empty()) << original.codes.front();
  LoadedScenario loaded;
  ASSERT_NO_FATAL_FAILURE(Load(original, &loaded));

  RecoveredDescription train;
  const Status s = RecoverTrainRows(loaded, &train);
  ASSERT_TRUE(s.ok()) << s.message();
  const std::string text = TrainDescriptionText(train);
  Compiled again;
  ASSERT_NO_FATAL_FAILURE(CompilePair(c.line, text, &again));
  EXPECT_TRUE(again.codes.empty()) << again.codes.front();
  EXPECT_EQ(FirstDifference(original, again), "") << text;
}

TEST(RecoverTrainRows, CompilesBackToTheSameFiles) {
  for (const PairCase& c : Pairs()) {
    SCOPED_TRACE(c.name);
    ExpectRoundTrip(c);
  }
}

}  // namespace
}  // namespace scenario

namespace scenario {
namespace {

// Files that no compile writes are refused with a message that names the
// place, and leave the description as it was.
TEST(RecoverTrainRows, RefusesFilesNoCompileWrites) {
  struct BrokenCase {
    const char* name;
    void (*do_break)(LoadedScenario&);
    const char* message_part;
  };
  const BrokenCase kCases[] = {
      {"fewer cells than a line of length 0 has",
       [](LoadedScenario& l) { l.cells.resize(5); }, "holds 5 cells"},
      {"a kind no row places", [](LoadedScenario& l) { l.cells[200].kind = 7; },
       "cell 200 holds the kind 7"},
      {"a stop mark of no station",
       [](LoadedScenario& l) {
         l.cells[200].kind = kKindStopMark;
         l.cells[200].w2 = 9;
       },
       "cell 200 holds a stop mark for slot 9"},
      {"a stopping station without its stop mark",
       [](LoadedScenario& l) { l.cells[105].kind = kKindNone; },
       "slot 2 holds a station"},
      {"a station stretch no length gives",
       [](LoadedScenario& l) { l.table[2].long1 += 100; },
       "fits no length of its kind 2"},
      {"a short station with its fifth field kept",
       [](LoadedScenario& l) { l.table[2].long1 += 50; },
       "its fifth field is set"},
      {"a first station with its end flag kept",
       [](LoadedScenario& l) { l.table[1].byte5 = 1; }, "its end flag is set"},
      {"the cells of a slowdown without its start",
       [](LoadedScenario& l) { l.cells[121].kind = kKindNone; },
       "cell 93 (metre 4650) holds a pre-warning cell that belongs to no "
       "slowdown start"},
      {"a warning board without its slowdown",
       [](LoadedScenario& l) { l.cells[250].kind = kKindWarningBoard; },
       "cell 250 (metre 12500) holds a slowdown warning board"},
      {"an approach mark nobody writes",
       [](LoadedScenario& l) { l.cells[200].b11 = 55; },
       "cell 200 holds the approach mark 55"},
  };
  Compiled original;
  ASSERT_NO_FATAL_FAILURE(
      CompilePair(SmallLineText(), SmallTrainText(), &original));
  LoadedScenario small;
  ASSERT_NO_FATAL_FAILURE(Load(original, &small));
  for (const BrokenCase& c : kCases) {
    SCOPED_TRACE(c.name);
    LoadedScenario broken = small;
    c.do_break(broken);
    RecoveredDescription train;
    train.notes.push_back({RowKind::kSignal, -1, "untouched"});
    const Status s = RecoverTrainRows(broken, &train);
    ASSERT_FALSE(s.ok());
    EXPECT_NE(s.message().find(c.message_part), std::string::npos)
        << s.message();
    ASSERT_EQ(train.notes.size(), 1u);
    EXPECT_TRUE(train.rows.empty());
  }
}

}  // namespace
}  // namespace scenario

namespace scenario {
namespace {

// Where the files leave a choice, a note says which was made, at the row's
// metre (or -1 for the kind as a whole).
TEST(RecoverTrainRows, NotesEachChoiceTheFilesLeaveOpen) {
  struct NoteCase {
    const char* row;
    RowKind kind;
    std::int64_t position;
    const char* text_part;
  };
  const NoteCase kCases[] = {
      {"abbattimento, 5800, 180", RowKind::kCodeChange, -1,
       "taken for the post-pass's"},
      {"rallentamento, 1510, 50, 200, 0, 0, 0", RowKind::kSlowdown, 1510,
       "past metre 1500"},
      {"rallentamento, 3000, 120, 0, 3, 0, 0", RowKind::kSlowdown, 3000,
       "length 0"},
      {"segnale, 3300, 2, 1, 2, 3, 1, 5, 4, 5, 6, 306", RowKind::kSignal, 3300,
       "a time of 306"},
      {"segnale, 3325, 2, 1, 2, 3, 1, 5, 4, 5, 6, 0", RowKind::kSignal, -1,
       "within the 50 m cell is not kept"},
  };
  for (const NoteCase& c : kCases) {
    SCOPED_TRACE(c.row);
    Compiled original;
    ASSERT_NO_FATAL_FAILURE(
        CompilePair(SmallLineText(), SmallTrainWith({c.row}), &original));
    ASSERT_TRUE(original.codes.empty()) << original.codes.front();
    LoadedScenario loaded;
    ASSERT_NO_FATAL_FAILURE(Load(original, &loaded));
    RecoveredDescription train;
    ASSERT_TRUE(RecoverTrainRows(loaded, &train).ok());
    bool found = false;
    for (const RecoveryNote& note : train.notes) {
      found = found || (note.kind == c.kind && note.position == c.position &&
                        note.text.find(c.text_part) != std::string::npos);
    }
    EXPECT_TRUE(found);
  }
}

}  // namespace
}  // namespace scenario

namespace scenario {
namespace {

// The stop cells whose leftover words belong to train items, so that the
// line's half does not take them for lost maximum-speed boards.
TEST(TrainCellsUnderStopMarks, NamesTheCellsOfCoveredTrainItems) {
  struct CoverCase {
    const char* name;
    std::vector<std::string> rows;
    std::vector<std::int64_t> cells;
  };
  const std::string station =
      "stazione, 5500, 22, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 60, 17, 40, 0, S";
  const CoverCase kCases[] = {
      {"a slowdown's end",
       {"rallentamento, 5000, 90, 500, 4, 1, 3", station},
       {111}},
      {"a signal",
       {"segnale, 5500, 2, 4, 0, 0, 0, 2, 1, 0, 0, 230", station},
       {111}},
      {"the line's speed board",
       {"stazione, 100, 22, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 60, 17, 40, 0, S"},
       {}},
      {"nothing: the slowdown comes after the station",
       {station, "rallentamento, 5000, 90, 550, 4, 1, 3"},
       {}},
  };
  for (const CoverCase& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> lines = {"[generale]"};
    lines.insert(lines.end(), c.rows.begin(), c.rows.end());
    lines.push_back("[fine]");
    Compiled compiled;
    ASSERT_NO_FATAL_FAILURE(
        CompilePair(SmallLineText(), DescriptionText(lines), &compiled));
    ASSERT_TRUE(compiled.codes.empty()) << compiled.codes.front();
    LoadedScenario loaded;
    ASSERT_NO_FATAL_FAILURE(Load(compiled, &loaded));
    EXPECT_EQ(TrainCellsUnderStopMarks(loaded), c.cells);
  }
}

}  // namespace
}  // namespace scenario
