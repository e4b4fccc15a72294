// Runs compile and export in-process on a fake file system: every file
// they reach goes through the file system they are handed.
#include "run/compile_command.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "base/exit_status.h"
#include "base/fake_file_system.h"
#include "model/scenario_names.h"
#include "run/export_command.h"
#include "run/run_sequence.h"

namespace scenario {
namespace {

// The built-in pair's descriptions, in the fake's folder "in".
ScenarioFileNames WriteBuiltinPair(FakeFileSystem& fs) {
  const ScenarioFileNames names =
      MakeFileNames("in", kBuiltinLineName, kBuiltinTrainName);
  EXPECT_TRUE(WriteBuiltinTexts(fs, names).ok());
  return names;
}

CompileCommandOptions CompileInto(const ScenarioFileNames& in,
                                  const std::string& output) {
  CompileCommandOptions c;
  c.compile.line_file = in.line_description;
  c.compile.train_file = in.train_description;
  c.compile.output = output;
  return c;
}

TEST(CompileCommand, ReachesFilesOnlyThroughTheFileSystemItIsGiven) {
  FakeFileSystem fs;
  const ScenarioFileNames in = WriteBuiltinPair(fs);
  std::ostringstream out;
  std::ostringstream err;
  CompileCommandOptions options = CompileInto(in, "out/new/");
  options.compile.warnings.shown = false;
  EXPECT_EQ(RunCompileCommand(options, fs, out, err), kExitOk) << err.str();
  EXPECT_EQ(err.str(),
            "scenario-compiler: 3 files written: 0 codes, warnings not looked "
            "for (-w)\n");
  EXPECT_EQ(fs.Paths("create_folders"), std::vector<std::string>{"out/new"});
  const ScenarioFileNames written =
      MakeFileNames("out/new", kBuiltinLineName, kBuiltinTrainName);
  for (const std::string* path :
       {&written.line_grid, &written.param_file, &written.cell_file}) {
    EXPECT_TRUE(fs.Has(*path)) << *path;
  }
  // The author's files are kept.
  EXPECT_TRUE(fs.Has(in.line_description));
  EXPECT_TRUE(fs.Has(in.train_description));
}

// An output folder that cannot be made ends compile -o and export -o
// before anything is written, with the folder and the reason.
TEST(CompileCommand, AnOutputFolderThatCannotBeMadeWritesNothing) {
  for (const bool compile : {true, false}) {
    SCOPED_TRACE(compile ? "compile" : "export");
    FakeFileSystem fs;
    const ScenarioFileNames in = WriteBuiltinPair(fs);
    const std::size_t writes = fs.Paths("write").size();
    fs.fail_folders.insert("out");
    std::ostringstream out;
    std::ostringstream err;
    const int status =
        compile
            ? RunCompileCommand(CompileInto(in, "out/sub/"), fs, out, err)
            : RunExportCommand(ExportCommandOptions{"out/sub/"}, fs, out, err);
    EXPECT_EQ(status, kExitNothing);
    EXPECT_EQ(err.str(),
              "scenario-compiler: cannot create the folder \"out/sub\": "
              "injected failure; nothing was written\n");
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(fs.Paths("write").size(), writes);
  }
}

// The built-in pair holds three warnings on purpose: a compile shows them
// unless told not to, and ends with a line that counts what it wrote and
// reported. Neither changes the exit status.
TEST(CompileCommand, ShowsWarningsAndEndsWithWhatItWrote) {
  constexpr const char* kOverlap =
      "in/Tarvo_Cembrio_linea.txt:79:1: warning curve-overlap: ";
  constexpr const char* kComma =
      "in/Tarvo_Cembrio_linea.txt:116:20: warning decimal-comma: ";
  constexpr const char* kTime =
      "in/Tarvo_Cembrio_Exp 5147-.txt:45:63: warning time-too-short: ";
  struct Case {
    const char* name;
    void (*set)(CompileCommandOptions*);
    std::vector<const char*> warnings;  // in the order shown
    const char* last_line;              // "": none
    int status;
  };
  const Case kCases[] = {
      {"no option",
       [](CompileCommandOptions*) {},
       {kOverlap, kComma, kTime},
       "scenario-compiler: 3 files written: 0 codes, 3 warnings",
       kExitOk},
      {"hidden",
       [](CompileCommandOptions* o) { o->compile.warnings.shown = false; },
       {},
       "scenario-compiler: 3 files written: 0 codes, warnings not looked "
       "for (-w)",
       kExitOk},
      {"one kind left out",
       [](CompileCommandOptions* o) {
         o->compile.warnings.no_warn = {"decimal-comma", "curve-overlap"};
       },
       {kTime},
       "scenario-compiler: 3 files written: 0 codes, 1 warning",
       kExitOk},
      // Without the grid no plan is laid, so no curve is seen to overlap.
      {"no grid",
       [](CompileCommandOptions* o) { o->compile.no_grid = true; },
       {kComma, kTime},
       "scenario-compiler: 2 files written: 0 codes, 2 warnings",
       kExitOk},
      {"quiet",
       [](CompileCommandOptions* o) { o->quiet = true; },
       {kOverlap, kComma, kTime},
       "",
       kExitOk},
      {"werror",
       [](CompileCommandOptions* o) { o->compile.warnings.werror = true; },
       {kOverlap, kComma, kTime},
       "scenario-compiler: 3 files written: 0 codes, 3 warnings",
       kExitFindings},
      {"a check writes nothing",
       [](CompileCommandOptions* o) { o->compile.write = false; },
       {kOverlap, kComma, kTime},
       "",
       kExitOk},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    FakeFileSystem fs;
    const ScenarioFileNames in = WriteBuiltinPair(fs);
    CompileCommandOptions options = CompileInto(in, "out");
    options.no_source = true;
    c.set(&options);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCompileCommand(options, fs, out, err), c.status);
    std::vector<std::string> lines;
    std::istringstream text(err.str());
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    const std::size_t warnings = lines.size() - (*c.last_line ? 1 : 0);
    ASSERT_EQ(warnings, c.warnings.size()) << err.str();
    for (std::size_t i = 0; i < warnings; ++i) {
      EXPECT_EQ(lines[i].rfind(c.warnings[i], 0), 0u) << lines[i];
    }
    if (*c.last_line) {
      EXPECT_EQ(lines.back(), c.last_line);
    }
  }
}

// With --json everything is in the object, warnings included, and standard
// error stays empty.
TEST(CompileCommand, JsonHoldsTheWarningsUnlessHidden) {
  for (const bool shown : {true, false}) {
    SCOPED_TRACE(shown);
    FakeFileSystem fs;
    const ScenarioFileNames in = WriteBuiltinPair(fs);
    CompileCommandOptions options = CompileInto(in, "out");
    options.json = true;
    options.compile.warnings.shown = shown;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCompileCommand(options, fs, out, err), kExitOk);
    EXPECT_EQ(err.str(), "");
    const nlohmann::json doc = nlohmann::json::parse(out.str());
    EXPECT_EQ(doc.contains("warnings"), shown);
    if (shown) {
      EXPECT_EQ(doc["warnings"].size(), 3u);
    }
  }
}

}  // namespace
}  // namespace scenario
