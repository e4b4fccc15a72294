// Paths that name no scenario file at all: a pipe, an endless device, a
// sparse file of gigabytes. Every command that reads a file must refuse
// them at once, naming the file, and never block or fill the memory.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/child_process_testing.h"
#include "base/file_system.h"
#include "base/scoped_temp_dir.h"
#include "compile/small_pair_testing.h"
#include "gtest/gtest.h"

namespace scenario {
namespace {

// What a command may take beyond the program's own start (about 4 MiB, and
// about 70 MiB under AddressSanitizer): far below what reading any of
// these paths whole would take.
constexpr long kMemoryGrowthKib = 64 * 1024;
// Only a hung command comes near it.
constexpr auto kHungAfter = std::chrono::seconds(60);

class HostileInputs : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteWholeFile(dir_.File("Valle_linea.txt"), SmallLineText());
    WriteWholeFile(dir_.File("Valle_R 1-.txt"), SmallTrainText());
    for (const char* name : {"pipe_linea.txt", "pipe-.txt", "pipe.dat"}) {
      ASSERT_EQ(::mkfifo(dir_.File(name).c_str(), 0600), 0);
    }
    for (const char* name : {"huge_linea.txt", "huge-.txt", "huge.dat"}) {
      WriteWholeFile(dir_.File(name), "");
      std::filesystem::resize_file(dir_.File(name), std::uintmax_t{2} << 30);
    }
    std::filesystem::create_symlink("/dev/zero", dir_.File("zero.dat"));
    std::filesystem::create_directory(dir_.File("out"));
  }

  ScopedTempDir dir_;
};

TEST_F(HostileInputs, EveryReaderRefusesThemAtOnceInBoundedMemory) {
  constexpr const char* kNotNormal = "a device or a pipe, not a normal file";
  constexpr const char* kTooLarge = "far more than any scenario file";
  struct Case {
    std::vector<std::string> args;
    const char* named;  // the file the message names
    const char* says;
  };
  const std::string train = "Valle_R 1-.txt";
  const std::string line = "Valle_linea.txt";
  const std::vector<std::string> to_out = {"-o", "out", "--train-name", "R 1"};
  auto compile = [&](const std::string& l, const std::string& t) {
    std::vector<std::string> args = {"compile", l, t};
    args.insert(args.end(), to_out.begin(), to_out.end());
    return args;
  };
  const Case kCases[] = {
      {compile("pipe_linea.txt", train), "pipe_linea.txt", kNotNormal},
      {compile("huge_linea.txt", train), "huge_linea.txt", kTooLarge},
      {compile(line, "pipe-.txt"), "pipe-.txt", kNotNormal},
      {compile(line, "huge-.txt"), "huge-.txt", kTooLarge},
      {{"check", "huge_linea.txt", train}, "huge_linea.txt", kTooLarge},
      {{"check", line, "pipe-.txt"}, "pipe-.txt", kNotNormal},
      {{"lint", "pipe_linea.txt", train}, "pipe_linea.txt", kNotNormal},
      {{"lint", line, "huge-.txt"}, "huge-.txt", kTooLarge},
      {{"inspect", "pipe.dat"}, "pipe.dat", kNotNormal},
      {{"inspect", "zero.dat"}, "zero.dat", kNotNormal},
      {{"inspect", "huge.dat"}, "huge.dat", kTooLarge},
  };
  const ChildRun start =
      RunChild({SCENARIO_COMPILER_EXE, "--version"}, dir_.path());
  ASSERT_EQ(start.status, 0);
  for (const Case& c : kCases) {
    std::vector<std::string> argv = {SCENARIO_COMPILER_EXE};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    SCOPED_TRACE(c.args[0] + " " + c.named);
    const ChildRun run = RunChild(argv, dir_.path(), {}, kHungAfter);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find(std::string("\"") + c.named + "\""),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_LT(run.max_resident_kib, start.max_resident_kib + kMemoryGrowthKib);
  }
  EXPECT_EQ(std::filesystem::is_empty(dir_.File("out")), true);
}

// A name that would turn the terminal red, and one that would clear it
// with the one-byte C1 introducer.
constexpr const char* kRed = "\x1b[31m";
constexpr const char* kC1Clear =
    "\xc2\x9b"
    "2J";

// True when text holds a control character that is not a line end: what a
// printed name must never carry to the terminal.
bool HoldsControlCharacters(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c < 0x20 && c != '\n') || c == 0x7f) return true;
    if (c == 0xc2 && i + 1 < text.size() &&
        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
        static_cast<unsigned char>(text[i + 1]) <= 0x9f) {
      return true;
    }
  }
  return false;
}

TEST_F(HostileInputs, NamesAreShownWithTheirControlCharactersEscaped) {
  const std::string red_train = std::string("Valle_R ") + kRed + "1-.txt";
  const std::string c1_line = std::string("Valle") + kC1Clear + "_linea.txt";
  WriteWholeFile(dir_.File(red_train), SmallTrainText());
  WriteWholeFile(dir_.File(c1_line), SmallLineText());
  // Read to its end with a field still missing: a diagnostic that names
  // the file, its row and its column.
  const std::string red_broken = std::string("Valle_R ") + kRed + "3-.txt";
  WriteWholeFile(dir_.File(red_broken),
                 "[generale]\r\nnumero vetture,    x\r\n");
  std::filesystem::create_directory(dir_.File("pack"));
  WriteWholeFile(dir_.File("pack/Valle_linea.txt"), SmallLineText());
  WriteWholeFile(dir_.File("pack/" + red_train), SmallTrainText());
  WriteWholeFile(dir_.File("pack/Valle_R 2-.txt"), "[generale]\r\n");
  const std::vector<std::vector<std::string>> kRuns = {
      {"compile", c1_line, red_train, "-o", "out"},
      {"check", c1_line, red_train},
      {"lint", c1_line, red_train},
      {"check", "Valle_linea.txt", red_broken, "-W"},
      {"lint", "Valle_linea.txt", red_broken},
      {"check", std::string("gone") + kRed + "_linea.txt", red_train},
      {"build", "pack"},
      {"build", "pack"},
      {"inspect", std::string("gone") + kC1Clear + ".dat"},
  };
  for (const std::vector<std::string>& args : kRuns) {
    std::vector<std::string> argv = {SCENARIO_COMPILER_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    SCOPED_TRACE(args[0] + " " + args[1]);
    const ChildRun run = RunChild(argv, dir_.path(), {}, kHungAfter);
    EXPECT_NE(run.status, -1);
    EXPECT_FALSE(HoldsControlCharacters(run.out)) << run.out;
    EXPECT_FALSE(HoldsControlCharacters(run.err)) << run.err;
    // Every run names one of them, escaped.
    const std::string said = run.out + run.err;
    EXPECT_TRUE(said.find("\\x1b[31m") != std::string::npos ||
                said.find("\\u009b2J") != std::string::npos)
        << said;
  }
}

TEST_F(HostileInputs, ANameTooLongIsRefusedBeforeTheFirstFileIsWritten) {
  // The grid's name is short; the .sim and .dat names are too long for
  // the file system, found before the grid is written.
  const ChildRun run = RunChild(
      {SCENARIO_COMPILER_EXE, "compile", "Valle_linea.txt", "Valle_R 1-.txt",
       "-o", "out", "--train-name", std::string(250, 'R')},
      dir_.path(), {}, kHungAfter);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("choose a shorter name; nothing was written"),
            std::string::npos)
      << run.err;
  EXPECT_TRUE(std::filesystem::is_empty(dir_.File("out")));
}

TEST_F(HostileInputs, ACompileRemovesTheTemporariesOfKilledRuns) {
  const pid_t ended = ::fork();
  if (ended == 0) ::_exit(0);
  ::waitpid(ended, nullptr, 0);
  const std::string prefix(kTemporaryPrefix);
  const std::string stale = "out/" + prefix + std::to_string(ended) + "-7.tmp";
  // Process 1 always runs: its temporary may still be being written.
  const std::string live = "out/" + prefix + "1-7.tmp";
  WriteWholeFile(dir_.File(stale), std::string(1000, 'x'));
  WriteWholeFile(dir_.File(live), "");
  const ChildRun run =
      RunChild({SCENARIO_COMPILER_EXE, "compile", "Valle_linea.txt",
                "Valle_R 1-.txt", "-o", "out"},
               dir_.path(), {}, kHungAfter);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir_.File(stale)));
  EXPECT_TRUE(std::filesystem::exists(dir_.File(live)));
}

}  // namespace
}  // namespace scenario
