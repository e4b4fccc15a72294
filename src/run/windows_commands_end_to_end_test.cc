// What the Windows build does not do yet, it says so plainly: PNG or PDF
// pictures name the platform and the way round it, and write nothing. Built
// into the Windows tests only.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/child_process_testing.h"
#include "base/scoped_temp_dir.h"

namespace scenario {
namespace {

TEST(WindowsCommandsEndToEnd, WhatIsNotThereYetSaysSoAndWritesNothing) {
  ScopedTempDir dir;
  const std::string example = SCENARIO_DOCS_DIR "/example/";
  const std::string line = example + "Valle_linea.txt";
  const std::string train = example + "Valle_R 12-.txt";
  ASSERT_EQ(RunChild({SCENARIO_COMPILER_EXE, "compile", line, train, "-o",
                      dir.File("out")})
                .status,
            0);
  struct Case {
    std::vector<std::string> args;
    const char* says;
  };
  const Case cases[] = {
      {{"plot", dir.File("out"), "-o", dir.File("sheet.png")},
       "PNG pictures are not available on Windows: write the sheet as SVG"},
      {{"plot", dir.File("out"), "-o", dir.File("sheet.pdf")},
       "or as the interactive HTML page (.html, or --format html)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0]);
    std::vector<std::string> argv = {SCENARIO_COMPILER_EXE};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const ChildRun run = RunChild(argv, dir.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(dir.Listing(), "out");
  // SVG is there.
  const ChildRun svg = RunChild({SCENARIO_COMPILER_EXE, "plot", dir.File("out"),
                                 "-o", dir.File("sheet.svg")},
                                dir.path());
  EXPECT_EQ(svg.status, 0) << svg.err;
  EXPECT_TRUE(std::filesystem::exists(dir.File("sheet.svg")));
}

}  // namespace
}  // namespace scenario
