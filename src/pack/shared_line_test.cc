// A line read once and many trains compiled over it must give what the
// compile stage gives for each pair on its own: the same files, byte for
// byte, and the same codes.

#include "pack/shared_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/fake_file_system.h"
#include "compile/compile_stage.h"
#include "compile/small_pair_testing.h"
#include "lint/lint.h"
#include "lint/warnings.h"
#include "model/scenario.h"

namespace scenario {
namespace {

// Replaces the first from in text by to. REQUIRES: from occurs in text.
std::string With(std::string text, const std::string& from,
                 const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

const std::string kLine = SmallLineText();
const std::string kTrain = SmallTrainText();

constexpr const char* kLineFile = "/p/Valle_linea.txt";
constexpr const char* kTrainFile = "/p/Valle_R 1-.txt";

CompileFiles Files(const std::string& train) {
  CompileFiles f;
  f.line_description = kLineFile;
  f.train_description = kTrainFile;
  f.delete_descriptions = false;
  f.grid_file = "/p/Valle_linea.dat";
  f.param_file = "/p/Valle_" + train + ".sim";
  f.cell_file = "/p/Valle_" + train + ".dat";
  return f;
}

std::vector<std::int32_t> Codes(const Scenario& s) {
  std::vector<std::int32_t> codes;
  for (const Diagnostic& d : s.errors.diagnostics) codes.push_back(d.code);
  return codes;
}

// Every field of each warning, one line each.
std::string Describe(const std::vector<Warning>& warnings) {
  std::string text;
  for (const Warning& w : warnings) {
    text += w.where.file + ":" + std::to_string(w.where.line) + ":" +
            std::to_string(w.where.column) + ": " +
            std::string(WarningName(w.kind)) + " @" +
            (w.position ? std::to_string(*w.position) : "-") + ": " + w.text;
    if (w.other) {
      text += " [" + w.other->file + ":" + std::to_string(w.other->line) + ":" +
              std::to_string(w.other->column) + "]";
    }
    text += "\n";
  }
  return text;
}

struct PairCase {
  const char* name;
  std::string line;  // "" : no line file
  std::string train;
  std::int32_t j;
  bool fail_grid_write;
  std::vector<std::int32_t> codes;  // what the pair alone records
};

TEST(SharedLine, EveryTrainGivesWhatItsPairGivesAlone) {
  const PairCase kCases[] = {
      {"clean", kLine, kTrain, 1, false, {}},
      {"no grid", kLine, kTrain, 0, false, {}},
      {"signal on a taken cell (16)",
       kLine,
       With(kTrain, "segnale,    4450", "segnale,    1050"),
       1,
       false,
       {16}},
      {"fault in the train",
       kLine,
       With(kTrain, "velocita,    1000,    95", "velocita,    1000,    9x5"),
       1,
       false,
       {25}},
      {"fault in the line",
       With(kLine, "pendenza,  1000,   -3", "pendenza,  1x00,   -3"),
       kTrain,
       1,
       false,
       {25}},
      {"line stop (3)",
       With(kLine, "codici,    1050", "codici,    1051"),
       kTrain,
       1,
       false,
       {3}},
      {"row beyond the line (15)",
       With(kLine, "pendenza,  1000,   -3", "pendenza,  90000,   -3"),
       kTrain,
       1,
       false,
       {15, 15}},
      {"header place taken (1250)",
       With(kLine, "indicatori_vmax,  100", "indicatori_vmax,  0"),
       kTrain,
       1,
       false,
       {1250}},
      {"no length row: no cell array",
       With(kLine, "lunghezza percorso,    7000", "lunghezza,    7000"),
       kTrain,
       1,
       false,
       {25}},
      {"no line file (101)", "", kTrain, 1, false, {101}},
      {"grid write fails", kLine, kTrain, 1, true, {}},
  };
  for (const PairCase& c : kCases) {
    SCOPED_TRACE(c.name);
    FakeFileSystem alone_fs;
    FakeFileSystem shared_fs;
    for (FakeFileSystem* fs : {&alone_fs, &shared_fs}) {
      if (!c.line.empty()) fs->files[kLineFile] = c.line;
      fs->files[kTrainFile] = c.train;
      if (c.fail_grid_write) fs->fail_writes.insert("/p/Valle_linea.dat");
    }
    const CompileFiles files = Files("R 1");

    Scenario alone;
    alone.line_name = "Valle";
    alone.train_name = "R 1";
    const CompileResult alone_result =
        memorizza_percorso(alone, c.j, alone_fs, files);

    const SharedLine line("Valle", c.j, shared_fs, kLineFile);
    int grid_calls = 0;
    Scenario shared;
    const CompileResult shared_result = line.CompileTrain(
        "R 1", shared_fs, files,
        [&](bool* wrote) {
          ++grid_calls;
          *wrote = true;
          return line.WriteGrid(shared_fs, files.grid_file);
        },
        &shared);

    EXPECT_EQ(Codes(alone), c.codes);
    EXPECT_EQ(shared_fs.files, alone_fs.files);
    EXPECT_EQ(Codes(shared), Codes(alone));
    EXPECT_EQ(shared.errors.error_code, alone.errors.error_code);
    EXPECT_EQ(shared.errors.error_position, alone.errors.error_position);
    EXPECT_EQ(shared_result.end, alone_result.end);
    EXPECT_EQ(shared_result.written, alone_result.written);
    EXPECT_EQ(grid_calls,
              alone_result.end == CompileEnd::kWritten || c.fail_grid_write
                  ? c.j
                  : 0);
  }
}

TEST(SharedLine, TrainsOverOneLineDoNotSeeEachOther) {
  const std::string trains[] = {
      With(kTrain, "segnale,    4450", "segnale,    1050"),  // 16
      kTrain,
      // Stored as 90: a warning of its own.
      With(kTrain, "velocita,    1000,    95", "velocita,    1000,    92"),
  };
  FakeFileSystem shared_fs;
  shared_fs.files[kLineFile] = kLine;
  const SharedLine line("Valle", 1, shared_fs, kLineFile);
  bool grid_done = false;
  const SharedLine::GridWriter write_grid = [&](bool* wrote) {
    *wrote = !grid_done;
    grid_done = true;
    return *wrote ? line.WriteGrid(shared_fs, "/p/Valle_linea.dat")
                  : Status::Ok();
  };
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const std::string name = "R " + std::to_string(i);
    const CompileFiles files = Files(name);
    shared_fs.files[kTrainFile] = trains[i];
    Scenario shared;
    const LintReport report =
        line.CompileAndLintTrain(name, shared_fs, files, write_grid, &shared);
    // Only the first train writes the grid.
    EXPECT_EQ(report.result.written.size(), i == 0 ? 3u : 2u);

    FakeFileSystem alone_fs;
    alone_fs.files[kLineFile] = kLine;
    alone_fs.files[kTrainFile] = trains[i];
    Scenario alone;
    alone.line_name = "Valle";
    alone.train_name = name;
    const LintReport alone_report = CompileAndLint(alone, 1, alone_fs, files);
    for (const auto& [path, bytes] : alone_fs.files) {
      EXPECT_EQ(shared_fs.Contents(path), bytes) << path;
    }
    EXPECT_EQ(Codes(shared), Codes(alone));
    EXPECT_EQ(Describe(report.warnings), Describe(alone_report.warnings));
    EXPECT_EQ(report.warnings.size(), i == 2 ? 1u : 0u)
        << Describe(report.warnings);
  }
}

// The warnings of a train over a shared line are those of its pair on its
// own: the line's rows are read once, their warnings found for every train.
TEST(SharedLine, EveryTrainGetsTheWarningsOfItsPairAlone) {
  const std::string kComma =
      With(kLine, "pendenza,  1000,   -3", "pendenza,  1000,   -3,5");
  const std::string& kClean = kTrain;
  const std::string kAltered =
      With(kClean, "velocita,    1000,    95", "velocita,    1000,    92");
  struct Case {
    const char* name;
    std::string line;  // "" : no line file
    std::string train;
    std::int32_t j;
    std::size_t warnings;  // what the pair alone gets
  };
  const Case kCases[] = {
      {"clean", kLine, kClean, 1, 0},
      {"in the train", kLine, kAltered, 1, 1},
      {"in the line", kComma, kClean, 1, 1},
      {"in both", kComma, kAltered, 1, 2},
      {"in both, no grid", kComma, kAltered, 0, 2},
      {"with a code (16)", kComma,
       With(kAltered, "segnale,    4450", "segnale,    1050"), 1, 2},
      {"fault in the train", kComma,
       With(kClean, "velocita,    1000,    95", "velocita,    1000,    9x5"), 1,
       1},
      // The line reader stops before the gradients: no train is read, and
      // the comma is never reached.
      {"line stop (3)", With(kComma, "codici,    1050", "codici,    1051"),
       kAltered, 1, 0},
      {"no line file (101)", "", kAltered, 1, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    FakeFileSystem alone_fs;
    FakeFileSystem shared_fs;
    for (FakeFileSystem* fs : {&alone_fs, &shared_fs}) {
      if (!c.line.empty()) fs->files[kLineFile] = c.line;
      fs->files[kTrainFile] = c.train;
    }
    const CompileFiles files = Files("R 1");
    Scenario alone;
    alone.line_name = "Valle";
    alone.train_name = "R 1";
    const LintReport alone_report = CompileAndLint(alone, c.j, alone_fs, files);
    EXPECT_EQ(alone_report.warnings.size(), c.warnings)
        << Describe(alone_report.warnings);

    const SharedLine line("Valle", c.j, shared_fs, kLineFile);
    const SharedLine::GridWriter write_grid = [&](bool* wrote) {
      *wrote = true;
      return line.WriteGrid(shared_fs, files.grid_file);
    };
    // Twice over the same line: the first train leaves the line's log as
    // it found it.
    for (int round = 0; round < 2; ++round) {
      SCOPED_TRACE(round);
      Scenario shared;
      const LintReport report = line.CompileAndLintTrain(
          "R 1", shared_fs, files, write_grid, &shared);
      EXPECT_EQ(Describe(report.warnings), Describe(alone_report.warnings));
      EXPECT_EQ(report.summary.rows, alone_report.summary.rows);
      EXPECT_EQ(Codes(shared), Codes(alone));
      EXPECT_EQ(report.result.written, alone_report.result.written);
    }
    EXPECT_EQ(shared_fs.files, alone_fs.files);
  }
}

}  // namespace
}  // namespace scenario
