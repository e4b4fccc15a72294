// The program itself, run as an author runs it, writes the pinned bytes
// (output_digests_testing.h): the built-in run beside a copy of the
// executable, and compiles of the example pair, in folders and under file
// names that hold "à" and spaces. The same test runs in the Linux build
// and, cross-built, in the Windows build under Wine, so both platforms are
// held to one set of digests.

#include <gtest/gtest.h>

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "base/child_process_testing.h"
#include "base/scoped_temp_dir.h"
#include "base/sha256_testing.h"
#include "run/output_digests_testing.h"

namespace scenario {
namespace {

// A name with "à" and a space, as UTF-8.
constexpr const char* kAccented = "Prove \xc3\xa0 parte";

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// Checks each named file of folder against its digest; a missing or
// different file fails with its name.
void ExpectDigests(const std::string& folder,
                   std::span<const FileDigest> digests) {
  for (const FileDigest& d : digests) {
    const std::string path = folder + "/" + d.name;
    if (!std::filesystem::exists(PathOf(path))) {
      ADD_FAILURE() << "\"" << path << "\" was not written";
      continue;
    }
    EXPECT_EQ(Sha256Hex(ReadWholeFile(path)), d.sha256)
        << "\"" << path << "\" differs from the known-good build";
  }
}

TEST(OutputDigestsEndToEnd, BuiltinRunBesideTheProgramWritesTheKnownBytes) {
  ScopedTempDir dir;
  const std::string folder = dir.File(kAccented);
  std::filesystem::create_directory(PathOf(folder));
  const std::filesystem::path exe(SCENARIO_COMPILER_EXE);
  const std::string copy = folder + "/" + exe.filename().string();
  std::filesystem::copy_file(exe, PathOf(copy));
  // Run from elsewhere: the files go beside the program, not to the
  // current folder.
  const ChildRun run = RunChild({copy, "--no-window"}, dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  ExpectDigests(folder, kBuiltinRunDigests);
  EXPECT_EQ(dir.Listing(), kAccented);
}

TEST(OutputDigestsEndToEnd, ExamplePairCompilesToTheKnownBytes) {
  const std::string example = SCENARIO_DOCS_DIR "/example/";
  const std::string line = ReadWholeFile(example + "Valle_linea.txt");
  const std::string train = ReadWholeFile(example + "Valle_R 12-.txt");
  ASSERT_FALSE(line.empty());
  ASSERT_FALSE(train.empty());
  // The pair under its own names, and under names with "à" and spaces in a
  // folder with them too (the scenario's names then given on the command
  // line, since they are written into the files), and deep down a folder
  // whose path is longer than Windows' 260 characters of old.
  std::string deep = kAccented;
  for (char level = '1'; level <= '6'; ++level) {
    deep += "/cartella profonda " + std::string(1, level) +
            " con un nome lungo abbastanza per contare";
  }
  ASSERT_GT(deep.size(), 300u);
  struct PairCase {
    const char* line_file;
    const char* train_file;
    std::vector<std::string> names;
    std::string folder;  // in the temporary folder
  };
  const PairCase cases[] = {
      {"Valle_linea.txt", "Valle_R 12-.txt", {}, kAccented},
      {"Valle d'Ala \xc3\xa0 nord_linea.txt",
       "Valle d'Ala \xc3\xa0 nord_R 12 bis-.txt",
       {"--line-name", "Valle", "--train-name", "R 12"},
       kAccented},
      {"Valle_linea.txt", "Valle_R 12-.txt", {}, deep},
  };
  for (const PairCase& c : cases) {
    SCOPED_TRACE(c.folder);
    ScopedTempDir dir;
    const std::string folder = dir.File(c.folder);
    std::filesystem::create_directories(PathOf(folder));
    WriteWholeFile(folder + "/" + c.line_file, line);
    WriteWholeFile(folder + "/" + c.train_file, train);
    std::vector<std::string> argv = {
        SCENARIO_COMPILER_EXE,       "compile", folder + "/" + c.line_file,
        folder + "/" + c.train_file, "-o",      folder + "/uscita \xc3\xa0"};
    argv.insert(argv.end(), c.names.begin(), c.names.end());
    const ChildRun run = RunChild(argv, dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    ExpectDigests(folder + "/uscita \xc3\xa0", kExamplePairDigests);
    // The inputs are kept as they were.
    EXPECT_EQ(ReadWholeFile(folder + "/" + c.line_file), line);
    EXPECT_EQ(ReadWholeFile(folder + "/" + c.train_file), train);
  }
}

}  // namespace
}  // namespace scenario
