// The bytes the program hands on, pinned whole (output_digests_testing.h),
// as the stages write them in this process.

#include <gtest/gtest.h>

#include <span>
#include <sstream>
#include <string>

#include "base/exit_status.h"
#include "base/fake_file_system.h"
#include "base/scoped_temp_dir.h"
#include "base/sha256_testing.h"
#include "compile/compile_stage.h"
#include "model/scenario.h"
#include "model/scenario_names.h"
#include "run/output_digests_testing.h"
#include "run/run_sequence.h"

namespace scenario {
namespace {

// Checks each named file of folder in fs against its digest; a missing or
// different file fails with its name.
void ExpectDigests(const FakeFileSystem& fs, const std::string& folder,
                   std::span<const FileDigest> digests) {
  for (const FileDigest& d : digests) {
    const std::string path = folder + "/" + d.name;
    if (!fs.Has(path)) {
      ADD_FAILURE() << "\"" << d.name << "\" was not written";
      continue;
    }
    EXPECT_EQ(Sha256Hex(fs.Contents(path)), d.sha256)
        << "\"" << d.name << "\" differs from the known-good build";
  }
}

TEST(OutputDigests, BuiltinRunWritesTheKnownBytes) {
  FakeFileSystem fs;
  std::ostringstream err;
  ASSERT_EQ(RunBuiltinScenario(fs, "/app", err), kExitOk) << err.str();
  // The three crew documents come from the built-in run alone.
  ExpectDigests(fs, "/app", kBuiltinRunDigests);
}

// The example pair of the format reference, compiled as the compile command
// does: names from the file names, inputs kept, grid written.
TEST(OutputDigests, ExamplePairCompilesToTheKnownBytes) {
  const std::string example = SCENARIO_DOCS_DIR "/example/";
  FakeFileSystem fs;
  const ScenarioFileNames names = MakeFileNames("/out", "Valle", "R 12");
  CompileFiles files;
  files.line_description = "/in/Valle_linea.txt";
  files.train_description = "/in/Valle_R 12-.txt";
  files.delete_descriptions = false;
  files.grid_file = names.line_grid;
  files.param_file = names.param_file;
  files.cell_file = names.cell_file;
  fs.files[files.line_description] = ReadWholeFile(example + "Valle_linea.txt");
  fs.files[files.train_description] =
      ReadWholeFile(example + "Valle_R 12-.txt");
  ASSERT_FALSE(fs.files[files.line_description].empty());
  ASSERT_FALSE(fs.files[files.train_description].empty());

  Scenario s;
  s.line_name = "Valle";
  s.train_name = "R 12";
  const CompileResult result = memorizza_percorso(s, 1, fs, files);
  ASSERT_EQ(result.end, CompileEnd::kWritten);
  EXPECT_EQ(s.errors.error_code, 0);
  ExpectDigests(fs, "/out", kExamplePairDigests);
}

}  // namespace
}  // namespace scenario
