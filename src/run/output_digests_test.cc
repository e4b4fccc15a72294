// The bytes the program hands on, pinned whole: the built-in run's six
// files and the example pair's three compiled files keep the SHA-256
// digests of a known-good build. The simulator reads the binary files and
// the crew are handed the texts, so any change to one of them is a change
// of behaviour. When a change is meant, take the new digests from a build
// checked by other means, never from the build under test alone.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "base/exit_status.h"
#include "base/fake_file_system.h"
#include "base/scoped_temp_dir.h"
#include "base/sha256_testing.h"
#include "compile/compile_stage.h"
#include "model/scenario.h"
#include "model/scenario_names.h"
#include "run/run_sequence.h"

namespace scenario {
namespace {

struct FileDigest {
  const char* name;  // in the output folder
  const char* sha256;
};

// Checks each named file of folder in fs against its digest; a missing or
// different file fails with its name.
void ExpectDigests(const FakeFileSystem& fs, const std::string& folder,
                   std::initializer_list<FileDigest> digests) {
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
  ExpectDigests(
      fs, "/app",
      {{"Tarvo_Cembrio_Exp 5147.dat",
        "28cdd29875dd84a405691b2fd3b840bf166db0d897ec53415c9a75da82fae228"},
       {"Tarvo_Cembrio_Exp 5147.sim",
        "480820b8e40b270d102e45c7f0745f0e9dcfe8bcdd99cf6cb9fb9a59d2baaffa"},
       {"Tarvo_Cembrio_Exp 5147_note.txt",
        "0f9d8e01a0eed5a11b311b501331208f882235623d1680fcbbcb9748aee68416"},
       {"Tarvo_Cembrio_Exp 5147_rallentamenti.txt",
        "3309db203696c79ee4d65fae32d4eacb0481546556cde26e9ad1ff72f4a65cff"},
       {"Tarvo_Cembrio_Exp 5147_scheda_treno.txt",
        "585bdc7fb6a67111f81c29c98bf480cc1d342fcf2a5ee8664ba0c8d730937556"},
       {"Tarvo_Cembrio_linea.dat",
        "31e9a15b7c201c3d4a7b301a8cc77af6c5181324ddc21111ae6fcaee6995f26f"}});
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
  ExpectDigests(
      fs, "/out",
      {{"Valle_R 12.dat",
        "ea0bdc2b9ae6564d6eede2f3274f02d0c7f22a57712896eece3cb536e0dd5da5"},
       {"Valle_R 12.sim",
        "4cb3f352986218eca1cf65a8e8d824ea8be2dae3a0d2f1fc805027572f6b8276"},
       {"Valle_linea.dat",
        "afa831b659f81e09456c62981d89dc5975e5642754ee41f371f6eb32025795e5"}});
}

}  // namespace
}  // namespace scenario
