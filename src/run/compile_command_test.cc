// Runs compile and export in-process on a fake file system: every file
// they reach goes through the file system they are handed.
#include "run/compile_command.h"

#include <gtest/gtest.h>

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
  EXPECT_EQ(RunCompileCommand(CompileInto(in, "out/new/"), fs, out, err),
            kExitOk)
      << err.str();
  EXPECT_EQ(err.str(), "");
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

}  // namespace
}  // namespace scenario
