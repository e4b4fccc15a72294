#include "run/diff_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "base/exit_status.h"
#include "base/file_system.h"
#include "base/scoped_temp_dir.h"
#include "run/compile_command.h"
#include "run/export_command.h"
#include "tools/diff_report.h"

namespace scenario {
namespace {

constexpr const char* kLine = "Tarvo_Cembrio_linea.txt";
constexpr const char* kTrain = "Tarvo_Cembrio_Exp 5147-.txt";
constexpr const char* kParams = "Tarvo_Cembrio_Exp 5147.sim";
constexpr const char* kCells = "Tarvo_Cembrio_Exp 5147.dat";
constexpr const char* kGrid = "Tarvo_Cembrio_linea.dat";

// The board row the author moves, and where to.
constexpr const char* kBoard =
    "indicatori_vmax,  57950,  110,  120,  130,  0,  110,  120,  130,  0";
constexpr const char* kMovedBoard =
    "indicatori_vmax,  58050,  110,  120,  130,  0,  110,  120,  130,  0";
// The train rows the author edits: one station's time, and a slowdown
// added where there was none.
constexpr const char* kStation = "17,18, 0, Tarvo San Rocco";
constexpr const char* kLaterStation = "17,19, 0, Tarvo San Rocco";
constexpr const char* kSlowdowns = "[rallentamenti]\r\n";
constexpr const char* kNewSlowdown =
    "rallentamento,   24000,   60,   600,   0,   1,   0\r\n";

void Replace(std::string* text, const std::string& what,
             const std::string& with) {
  const std::size_t at = text->find(what);
  ASSERT_NE(at, std::string::npos) << what;
  text->replace(at, what.size(), with);
}

void Compile(const std::string& line, const std::string& train,
             const std::string& output) {
  CompileCommandOptions c;
  c.compile.line_file = line;
  c.compile.train_file = train;
  c.compile.output = output;
  std::ostringstream out;
  std::ostringstream err;
  ASSERT_EQ(RunCompileCommand(c, RealFileSystem(), out, err), kExitOk)
      << err.str();
}

// The exported built-in pair compiled into "old", and into "new" with one
// maximum-speed board moved on by 100 m; compiled once for all tests.
class BuiltinDiff : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new ScopedTempDir;
    ExportCommandOptions c;
    c.output = dir_->File("src");
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunExportCommand(c, RealFileSystem(), out, err), kExitOk)
        << err.str();
    const std::string line = dir_->File("src/") + kLine;
    const std::string train = dir_->File("src/") + kTrain;
    Compile(line, train, dir_->File("old"));

    std::string text = ReadWholeFile(line);
    Replace(&text, kBoard, kMovedBoard);
    // Same names, so that only the board differs.
    std::filesystem::create_directory(dir_->File("moved"));
    const std::string moved = dir_->File("moved/") + kLine;
    WriteWholeFile(moved, text);
    Compile(moved, train, dir_->File("new"));

    // "edited": the board moved, a station's time changed and a slowdown
    // added, the last bringing its warning cells and code marks.
    text = ReadWholeFile(train);
    Replace(&text, kStation, kLaterStation);
    Replace(&text, kSlowdowns, std::string(kSlowdowns) + kNewSlowdown);
    const std::string edited = dir_->File("moved/") + kTrain;
    WriteWholeFile(edited, text);
    Compile(moved, edited, dir_->File("edited"));
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  struct Result {
    int status;
    std::string out;
    std::string err;
  };
  static Result Diff(const std::vector<std::string>& inputs, bool json = false,
                     bool rows = false) {
    DiffCommandOptions c;
    c.inputs = inputs;
    c.json = json;
    c.rows = rows;
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunDiffCommand(c, RealFileSystem(), out, err);
    return {status, out.str(), err.str()};
  }
  static std::string In(const std::string& folder, const char* name) {
    return dir_->File(folder + "/" + name);
  }

  static ScopedTempDir* dir_;
};

ScopedTempDir* BuiltinDiff::dir_ = nullptr;

TEST_F(BuiltinDiff, ScenarioAgainstItselfPrintsNothing) {
  const std::string old_dir = dir_->File("old");
  const std::vector<std::vector<std::string>> kForms = {
      {old_dir, old_dir},
      {In("old", kParams), In("old", kParams)},
      {In("old", kParams), In("old", kCells), In("old", kGrid),
       In("old", kParams), In("old", kCells), In("old", kGrid)},
  };
  for (const auto& inputs : kForms) {
    SCOPED_TRACE(inputs.size());
    const Result r = Diff(inputs);
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
  }
  const Result r = Diff({old_dir, old_dir}, true);
  EXPECT_EQ(r.status, kExitOk);
  const nlohmann::json doc = nlohmann::json::parse(r.out);
  EXPECT_TRUE(doc["identical"].get<bool>());
  EXPECT_TRUE(doc["line"].empty());
  EXPECT_TRUE(doc["slots"].empty());
  EXPECT_TRUE(doc["counts"].empty());
}

TEST_F(BuiltinDiff, MovedBoardIsExactlyThatChangeWithItsReadings) {
  const Result r = Diff({dir_->File("old"), dir_->File("new")});
  EXPECT_EQ(r.status, kExitFindings);
  // The kilometre record puts the readings 3050 m ahead from 31100 m on.
  EXPECT_EQ(r.out,
            "removed maximum-speed board at 57950 m, km 61+000 (cell 1160): "
            "vas 110 km/h, vbs 120 km/h, vcs 130 km/h, strisces 0, vad 110 "
            "km/h, vbd 120 km/h, vcd 130 km/h, strisced 0\n"
            "added maximum-speed board at 58050 m, km 61+100 (cell 1162): "
            "vas 110 km/h, vbs 120 km/h, vcs 130 km/h, strisces 0, vad 110 "
            "km/h, vbd 120 km/h, vcd 130 km/h, strisced 0\n"
            "counts: maximum-speed board 1 added, 1 removed\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(BuiltinDiff, JsonGivesTheSameChangesAsObjects) {
  const Result r = Diff({dir_->File("old"), dir_->File("new")}, true);
  EXPECT_EQ(r.status, kExitFindings);
  const nlohmann::json doc = nlohmann::json::parse(r.out);
  EXPECT_FALSE(doc["identical"].get<bool>());
  EXPECT_TRUE(doc["slots"].empty());
  EXPECT_TRUE(doc["cell_array"].is_null());
  EXPECT_TRUE(doc["grid"].is_null());
  ASSERT_EQ(doc["line"].size(), 2u);
  struct Expected {
    const char* change;
    int cell;
    int position;
    const char* km;
  };
  const Expected kLines[] = {{"removed", 1160, 57950, "61+000"},
                             {"added", 1162, 58050, "61+100"}};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const nlohmann::json& c = doc["line"][i];
    EXPECT_EQ(c["change"], kLines[i].change);
    EXPECT_EQ(c["kind"], "maximum-speed board");
    EXPECT_EQ(c["cell"], kLines[i].cell);
    EXPECT_EQ(c["position"], kLines[i].position);
    EXPECT_EQ(c["km"], kLines[i].km);
    EXPECT_EQ(c["fields"],
              nlohmann::json::parse(
                  R"({"vas": 110, "vbs": 120, "vcs": 130, "strisces": 0,
                      "vad": 110, "vbd": 120, "vcd": 130, "strisced": 0})"));
    EXPECT_EQ(c["units"]["vas"], "km/h");
  }
  EXPECT_EQ(doc["counts"], nlohmann::json::parse(R"([{"kind":
      "maximum-speed board", "added": 1, "removed": 1, "changed": 0}])"));
}

TEST_F(BuiltinDiff, TroubleExitsWithTwoAndSaysWhy) {
  // A copy of the old scenario whose cell file lost its last byte.
  namespace fs = std::filesystem;
  fs::copy(dir_->File("old"), dir_->File("cut"));
  const std::string cut_cells = In("cut", kCells);
  fs::resize_file(cut_cells, fs::file_size(cut_cells) - 1);
  struct Case {
    std::vector<std::string> inputs;
    std::string message;
  };
  const Case kCases[] = {
      {{dir_->File("old"), dir_->File("nowhere")},
       "new scenario: " + dir_->File("nowhere") + ": no such file or folder"},
      {{dir_->File("cut"), dir_->File("old")},
       "old scenario: " + cut_cells + ": not a cell file"},
      {{In("old", kParams), In("old", kCells), In("old", kParams)},
       "diff takes two scenarios"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.message);
    const Result r = Diff(c.inputs);
    EXPECT_EQ(r.status, kExitNothing);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}

TEST_F(BuiltinDiff, RowsShowTheEditedRowsAndNothingElse) {
  const Result same = Diff({dir_->File("old"), dir_->File("old")}, false, true);
  EXPECT_EQ(same.status, kExitOk);
  EXPECT_EQ(same.out, "");
  EXPECT_EQ(same.err, "");

  const Result r = Diff({dir_->File("old"), dir_->File("edited")}, false, true);
  EXPECT_EQ(r.status, kExitFindings);
  EXPECT_EQ(r.out,
            "maximum-speed board at 57950 m moved to 58050 m\n"
            "station \"Tarvo San Rocco\" at 3100 m: time 17:18:00 -> "
            "17:19:00\n"
            "slowdown added at 24000 m: v 60 km/h, l 600 m, f_tt 0, f_ta 1, "
            "d_v 0\n");
  EXPECT_EQ(r.err, "");

  const Result j = Diff({dir_->File("old"), dir_->File("edited")}, true, true);
  EXPECT_EQ(j.status, kExitFindings);
  const nlohmann::json doc = nlohmann::json::parse(j.out);
  EXPECT_FALSE(doc["identical"].get<bool>());
  ASSERT_EQ(doc["changes"].size(), 3u);
  const nlohmann::json& board = doc["changes"][0];
  EXPECT_EQ(board["description"], "line");
  EXPECT_EQ(board["change"], "moved");
  EXPECT_EQ(board["old_position"], 57950);
  EXPECT_EQ(board["new_position"], 58050);
  const nlohmann::json& station = doc["changes"][1];
  EXPECT_EQ(station["station"], "Tarvo San Rocco");
  EXPECT_EQ(station["fields"]["time"]["new"], "17:19:00");
  EXPECT_EQ(doc["changes"][2]["change"], "added");
  EXPECT_EQ(doc["changes"][2]["fields"]["v"]["new"], 60);
}

TEST_F(BuiltinDiff, RowsOfFilesNoCompileWritesExitWithTwo) {
  // A copy of the old scenario with a cell of a kind no row places.
  namespace fs = std::filesystem;
  fs::copy(dir_->File("old"), dir_->File("strange"));
  std::string cells = ReadWholeFile(In("strange", kCells));
  cells[100 * 15] = static_cast<char>(99);  // cell 100's kind
  WriteWholeFile(In("strange", kCells), cells);
  // Loaded, the cells compare.
  EXPECT_EQ(Diff({dir_->File("old"), dir_->File("strange")}).status,
            kExitFindings);
  const Result r =
      Diff({dir_->File("old"), dir_->File("strange")}, false, true);
  EXPECT_EQ(r.status, kExitNothing);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("new scenario: its rows cannot be recovered: "),
            std::string::npos)
      << r.err;
}

}  // namespace
}  // namespace scenario
