// Runs `watch` as an author would: start it, save a file, read the new
// result, stop it with Ctrl-C.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>

#include "base/child_process_testing.h"
#include "base/file_system.h"
#include "base/scoped_temp_dir.h"
#include "model/scenario_names.h"
#include "run/run_sequence.h"

namespace scenario {
namespace {

// Generous: only a watch that missed the change takes this long.
constexpr std::chrono::seconds kPatience{20};

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos;
       at = text.find(part, at + 1)) {
    ++n;
  }
  return n;
}

TEST(WatchEndToEnd, RecompilesOnASaveByRenameAndStopsCleanly) {
  ScopedTempDir dir;
  const ScenarioFileNames names =
      MakeFileNames(dir.path(), kBuiltinLineName, kBuiltinTrainName);
  ASSERT_TRUE(WriteBuiltinTexts(RealFileSystem(), names).ok());
  for (const std::string* document :
       {&names.notes, &names.slowdown_form, &names.train_card}) {
    std::filesystem::remove(*document);
  }
  const std::string train = ReadWholeFile(names.train_description);

  ChildProcess watch({SCENARIO_COMPILER_EXE, "watch", names.line_description,
                      names.train_description, "-o", "out"},
                     dir.path(), dir.File(".watch-stderr"));
  const auto rounds = [](const std::string& out) {
    return Count(out, "waiting for changes");
  };
  ASSERT_TRUE(watch.ReadUntil(
      [&](const std::string& out) { return rounds(out) == 1; }, kPatience))
      << watch.output();
  EXPECT_NE(watch.output().find("3 files written, 0 codes"), std::string::npos)
      << watch.output();
  // Not a terminal: the screen is not cleared.
  EXPECT_EQ(watch.output().find("\x1b[2J"), std::string::npos);

  // Save as editors do: a new file renamed over the old one, with a
  // signal on the first one's cell.
  std::string broken = train;
  const std::size_t signal = broken.find("segnale,    1050");
  ASSERT_NE(signal, std::string::npos);
  broken.insert(signal,
                "segnale,    1060,   2, 5, 1,  1, 0,    2,  2,1,1, 0\r\n");
  const std::string temporary = dir.File(".save-in-progress");
  WriteWholeFile(temporary, broken);
  const auto saved = std::chrono::steady_clock::now();
  // Over the old file, on Windows too (where std::rename refuses to).
  std::filesystem::rename(temporary, names.train_description);
  ASSERT_TRUE(watch.ReadUntil(
      [&](const std::string& out) { return rounds(out) == 2; }, kPatience))
      << watch.output();
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - saved);
  ::testing::Test::RecordProperty("save_to_result_ms",
                                  static_cast<int>(took.count()));
  const std::string second =
      watch.output().substr(watch.output().find("waiting for changes"));
  EXPECT_NE(second.find("error 16"), std::string::npos) << second;
  EXPECT_NE(second.find("1 code,"), std::string::npos) << second;

  // A burst of saves makes one round.
  for (int i = 0; i < 5; ++i) WriteWholeFile(names.train_description, train);
  ASSERT_TRUE(watch.ReadUntil(
      [&](const std::string& out) { return rounds(out) == 3; }, kPatience));
  watch.ReadUntil([&](const std::string& out) { return rounds(out) > 3; },
                  std::chrono::milliseconds(500));
  EXPECT_EQ(rounds(watch.output()), 3);

  watch.Signal(SIGINT);
  EXPECT_EQ(watch.Wait(kPatience), 0);
  // Nothing left behind: no temporary beside the inputs or the outputs.
  EXPECT_EQ(dir.Listing(),
            ".watch-stderr, Tarvo_Cembrio_Exp 5147-.txt, "
            "Tarvo_Cembrio_linea.txt, out");
  std::set<std::string> outputs;
  for (const auto& entry :
       std::filesystem::directory_iterator(dir.File("out"))) {
    outputs.insert(entry.path().filename().string());
  }
  EXPECT_EQ(outputs, std::set<std::string>({"Tarvo_Cembrio_Exp 5147.dat",
                                            "Tarvo_Cembrio_Exp 5147.sim",
                                            "Tarvo_Cembrio_linea.dat"}));
}

// The folder of the pair deleted, made again and the pair copied back, as
// an author restoring from a copy does: watch says that the folder is
// gone while it is, then compiles again and still sees later saves.
TEST(WatchEndToEnd, WaitsForItsFolderToComeBackAndCompilesAgain) {
  ScopedTempDir dir;
  const std::string folder = dir.File("in");
  std::filesystem::create_directory(folder);
  const ScenarioFileNames names =
      MakeFileNames(folder, kBuiltinLineName, kBuiltinTrainName);
  ASSERT_TRUE(WriteBuiltinTexts(RealFileSystem(), names).ok());
  const std::string line = ReadWholeFile(names.line_description);
  const std::string train = ReadWholeFile(names.train_description);

  ChildProcess watch({SCENARIO_COMPILER_EXE, "watch", names.line_description,
                      names.train_description, "-o", "out"},
                     dir.path(), dir.File(".watch-stderr"));
  // What the watch printed since the mark.
  std::size_t mark = 0;
  const auto shows = [&](const std::string& part) {
    return [&, part](const std::string& out) {
      return out.find(part, mark) != std::string::npos;
    };
  };
  ASSERT_TRUE(watch.ReadUntil(shows("waiting for changes"), kPatience))
      << watch.output();

  mark = watch.output().size();
  std::filesystem::remove_all(folder);
  ASSERT_TRUE(watch.ReadUntil(
      shows("] the folder \"" + folder +
            "\" is gone; waiting for it to come back (Ctrl-C ends)\n"),
      kPatience))
      << watch.output().substr(mark);

  mark = watch.output().size();
  std::filesystem::create_directory(folder);
  WriteWholeFile(names.line_description, line);
  WriteWholeFile(names.train_description, train);
  ASSERT_TRUE(watch.ReadUntil(shows("3 files written, 0 codes"), kPatience))
      << watch.output().substr(mark);

  // A later save, with a signal on the first one's cell.
  std::string broken = train;
  const std::size_t signal = broken.find("segnale,    1050");
  ASSERT_NE(signal, std::string::npos);
  broken.insert(signal,
                "segnale,    1060,   2, 5, 1,  1, 0,    2,  2,1,1, 0\r\n");
  mark = watch.output().size();
  WriteWholeFile(names.train_description, broken);
  ASSERT_TRUE(watch.ReadUntil(shows("written, 1 code,"), kPatience))
      << watch.output().substr(mark);
  EXPECT_NE(watch.output().find("error 16", mark), std::string::npos);

  watch.Signal(SIGINT);
  EXPECT_EQ(watch.Wait(kPatience), 0);
  EXPECT_EQ(ReadWholeFile(dir.File(".watch-stderr")), "");
}

}  // namespace
}  // namespace scenario
