// decompile run as an author runs it, on files the program compiled.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "base/child_process_testing.h"
#include "base/scoped_temp_dir.h"

namespace scenario {
namespace {

ChildRun Compiler(const ScopedTempDir& dir,
                  const std::vector<std::string>& args) {
  std::vector<std::string> argv = {SCENARIO_COMPILER_EXE};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunChild(argv, dir.path());
}

constexpr const char* kLine = "Tarvo_Cembrio_linea.txt";
constexpr const char* kTrain = "Tarvo_Cembrio_Exp 5147-.txt";
constexpr const char* kCompiled[] = {"Tarvo_Cembrio_linea.dat",
                                     "Tarvo_Cembrio_Exp 5147.sim",
                                     "Tarvo_Cembrio_Exp 5147.dat"};

// The exported built-in pair compiled into "bin".
class DecompileEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ChildRun run = Compiler(dir_, {"export", "-o", "src"});
    ASSERT_EQ(run.status, 0) << run.err;
    run = Compiler(dir_, {"compile", std::string("src/") + kLine,
                          std::string("src/") + kTrain, "-o", "bin", "-w"});
    ASSERT_EQ(run.status, 0) << run.err;
  }

  ScopedTempDir dir_;
};

TEST_F(DecompileEndToEnd, BuiltInFilesComeBackAsDescriptionsOfTheSameBytes) {
  ChildRun run = Compiler(dir_, {"decompile", "bin", "-o", "out"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, std::string("out/") + kLine + "\nout/" + kTrain + "\n");
  // What it claims, an author's compile confirms.
  run = Compiler(dir_, {"compile", std::string("out/") + kLine,
                        std::string("out/") + kTrain, "-o", "again", "-w"});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* name : kCompiled) {
    SCOPED_TRACE(name);
    const std::string want =
        ReadWholeFile(dir_.File(std::string("bin/") + name));
    ASSERT_FALSE(want.empty());
    EXPECT_TRUE(ReadWholeFile(dir_.File(std::string("again/") + name)) == want);
  }

  // Named as the files, with the grid, and over the descriptions there.
  const std::string line =
      ReadWholeFile(dir_.File(std::string("out/") + kLine));
  WriteWholeFile(dir_.File(std::string("out/") + kTrain), "my own");
  run = Compiler(
      dir_, {"decompile", "bin/Tarvo_Cembrio_Exp 5147.sim",
             "bin/Tarvo_Cembrio_Exp 5147.dat", "bin/Tarvo_Cembrio_linea.dat",
             "-o", "out", "--force", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json doc = nlohmann::json::parse(run.out);
  EXPECT_EQ(doc["files"],
            nlohmann::json::array(
                {std::string("out/") + kLine, std::string("out/") + kTrain}));
  EXPECT_EQ(doc["round_trip"], nlohmann::json({{"same", true}}));
  EXPECT_TRUE(doc["notes"]["line"].is_array());
  EXPECT_TRUE(doc["notes"]["train"].is_array());
  EXPECT_EQ(ReadWholeFile(dir_.File(std::string("out/") + kLine)), line);
}

// A description already there is an author's to keep: refused without
// --force, and left as it is.
TEST_F(DecompileEndToEnd, AnExistingDescriptionIsRefusedWithoutForce) {
  std::filesystem::create_directory(dir_.File("out"));
  WriteWholeFile(dir_.File(std::string("out/") + kTrain), "my own");
  const ChildRun run =
      Compiler(dir_, {"decompile", "bin", "-o", "out", "--json"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(
      run.err.find("\"out/" + std::string(kTrain) + "\" is already there"),
      std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("--force"), std::string::npos) << run.err;
  EXPECT_EQ(ReadWholeFile(dir_.File(std::string("out/") + kTrain)), "my own");
  EXPECT_FALSE(std::filesystem::exists(dir_.File(std::string("out/") + kLine)));
}

TEST_F(DecompileEndToEnd, FilesThatDoNotDecodeWriteNothing) {
  std::filesystem::create_directory(dir_.File("bad"));
  WriteWholeFile(dir_.File("bad/X_Y.sim"), "not a parameter file");
  WriteWholeFile(dir_.File("bad/X_Y.dat"), std::string(15 * 4, '\0'));
  ChildRun run = Compiler(dir_, {"decompile", "bad", "-o", "out"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("not a parameter file"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir_.File("out")));

  // A cell file cut short of a whole cell.
  std::string cells =
      ReadWholeFile(dir_.File(std::string("bin/") + kCompiled[2]));
  cells.pop_back();
  WriteWholeFile(dir_.File(std::string("bin/") + kCompiled[2]), cells);
  run = Compiler(dir_, {"decompile", "bin", "-o", "out"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("not a cell file"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir_.File("out")));

  // Whole cells again, one of a kind no row places.
  cells.push_back('\0');
  cells[100 * 15] = 99;
  WriteWholeFile(dir_.File(std::string("bin/") + kCompiled[2]), cells);
  run = Compiler(dir_, {"decompile", "bin", "-o", "out"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("cannot decompile the scenario of "
                         "\"bin/Tarvo_Cembrio_Exp 5147.sim\": "),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("; nothing was written"), std::string::npos)
      << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir_.File("out")));
}

// A byte no row writes but that the recovery passes over (b10 under kind
// 0): the descriptions are written, and the round trip is not claimed.
TEST_F(DecompileEndToEnd, ARoundTripThatFailsSaysWhereAndExitsOne) {
  const std::string path = dir_.File(std::string("bin/") + kCompiled[2]);
  std::string cells = ReadWholeFile(path);
  cells[100 * 15 + 9] = 3;
  WriteWholeFile(path, cells);
  ChildRun run = Compiler(dir_, {"decompile", "bin", "-o", "out"});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(run.out, std::string("out/") + kLine + "\nout/" + kTrain + "\n");
  EXPECT_NE(run.err.find("scenario-compiler: the descriptions written do not "
                         "compile to the same files: \"bin/Tarvo_Cembrio_Exp "
                         "5147.dat\" differs first at byte 1509: cell 100 "
                         "(metre 4950), values without a kind, b10: 3 in the "
                         "file, 0 compiled\n"),
            std::string::npos)
      << run.err;
  EXPECT_TRUE(std::filesystem::exists(dir_.File(std::string("out/") + kLine)));

  run = Compiler(dir_, {"decompile", "bin", "-o", "out", "--force", "--json"});
  EXPECT_EQ(run.status, 1) << run.err;
  const nlohmann::json doc = nlohmann::json::parse(run.out);
  EXPECT_EQ(doc["round_trip"]["same"], false);
  EXPECT_EQ(doc["round_trip"]["file"], "bin/Tarvo_Cembrio_Exp 5147.dat");
  EXPECT_EQ(doc["round_trip"]["offset"], 1509);
  EXPECT_EQ(doc["round_trip"]["what"],
            "cell 100 (metre 4950), values without a kind, b10: 3 in the file, "
            "0 compiled");
}

}  // namespace
}  // namespace scenario
