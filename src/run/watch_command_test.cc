#include "run/watch_command.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "base/fake_file_system.h"
#include "model/scenario_names.h"
#include "run/run_sequence.h"

namespace scenario {
namespace {

// A round's summary counts what the compile found (the built-in pair has
// three warnings). A speed board at metre 0 takes the header place of
// cell 1: one code (1250) is recorded, and the message that the compile
// ended repeats it, which a count of printed lines took for a second one.
TEST(WatchRound, CountsTheCodesTheCompileRecorded) {
  struct Case {
    const char* what;
    const char* board;  // a row put into the line's boards, or ""
    bool clear_screen;
    const char* summary;
    const char* first_written;  // "" when nothing is written
    WarningOptions warnings = {};
  };
  const Case kCases[] = {
      {"clean", "", true, "] 3 files written, 0 codes, 3 warnings in ",
       "written: out/Tarvo_Cembrio_linea.dat\n"},
      {"header place taken",
       "indicatori_vmax,  0,  90,  95,  100,  0,  ,  ,  ,  0\r\n", false,
       "] nothing written, 1 code, 3 warnings in ", ""},
      // The warning options as compile takes them.
      {"warnings hidden", "", false,
       "] 3 files written, 0 codes, 0 warnings in ",
       "written: out/Tarvo_Cembrio_linea.dat\n",
       WarningOptions{false, false, {}}},
      {"two kinds left out", "", false,
       "] 3 files written, 0 codes, 1 warning in ",
       "written: out/Tarvo_Cembrio_linea.dat\n",
       WarningOptions{true, false, {"curve-overlap", "time-too-short"}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    FakeFileSystem fs;
    const ScenarioFileNames in =
        MakeFileNames("in", kBuiltinLineName, kBuiltinTrainName);
    ASSERT_TRUE(WriteBuiltinTexts(fs, in).ok());
    std::string& line = fs.files[in.line_description];
    const std::size_t boards = line.find("[cartelli]\r\n");
    ASSERT_NE(boards, std::string::npos);
    line.insert(boards + 12, c.board);

    WatchCommandOptions options;
    options.line_file = in.line_description;
    options.train_file = in.train_description;
    options.output = "out";
    options.warnings = c.warnings;
    std::ostringstream out;
    const WatchRoundResult round = WatchRound(options, fs, out, c.clear_screen);
    const std::string text = out.str();
    EXPECT_EQ(text.starts_with("\x1b[H\x1b[2J"), c.clear_screen);
    // What the served page is handed: the sheet of a round that wrote the
    // scenario, else the text the round printed before its file list.
    EXPECT_EQ(round.good, *c.first_written != '\0');
    EXPECT_EQ(round.param_file,
              round.good ? "out/Tarvo_Cembrio_Exp 5147.sim" : "");
    EXPECT_NE(text.find(round.shown), std::string::npos);
    if (!round.good) {
      EXPECT_NE(round.shown.find("1250"), std::string::npos) << round.shown;
    }
    EXPECT_NE(text.find(c.summary), std::string::npos) << text;
    // The round's summary closes it, not compile's closing line.
    EXPECT_EQ(text.find(" written: 0 codes"), std::string::npos) << text;
    EXPECT_EQ(text.find("written: ") == std::string::npos,
              *c.first_written == '\0')
        << text;
    if (*c.first_written != '\0') {
      EXPECT_NE(text.find(c.first_written), std::string::npos) << text;
    }
  }
}

TEST(WatchFoldersGone, NamesTheFoldersWatchWaitsFor) {
  struct Case {
    std::vector<std::string> folders;
    const char* line;  // after the time
  };
  const Case kCases[] = {
      {{"in"},
       "] the folder \"in\" is gone; waiting for it to come back (Ctrl-C "
       "ends)\n"},
      {{"lines", "/home/a/trains"},
       "] the folders \"lines\" and \"/home/a/trains\" are gone; waiting "
       "for them to come back (Ctrl-C ends)\n"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.line);
    std::ostringstream out;
    WatchFoldersGone(c.folders, out, false);
    const std::string text = out.str();
    EXPECT_TRUE(text.starts_with("[")) << text;
    EXPECT_TRUE(text.ends_with(c.line)) << text;
  }
}

}  // namespace
}  // namespace scenario
