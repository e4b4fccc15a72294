#include "run/run_sequence.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "base/exit_status.h"
#include "base/fake_file_system.h"
#include "model/scenario_names.h"
#include "run/error_report.h"

namespace scenario {
namespace {

TEST(Errore, MessageStartsWithABlank) {
  EXPECT_EQ(ErroreMessage("1250"), " Errore n. 1250");
  std::ostringstream err;
  errore("1251", err);
  EXPECT_EQ(err.str(), " Errore n. 1251\n");
}

TEST(ReportCompileEnd, EachEndHasItsStatusAndMessage) {
  CompileResult header;
  header.end = CompileEnd::kHeaderFatal;
  header.fatal_code = 1250;
  CompileResult no_cells;
  no_cells.end = CompileEnd::kNoCellArray;
  CompileResult failed;
  failed.end = CompileEnd::kWriteFailed;
  failed.write_status =
      Status::Error("cannot write \"/d/L_T.sim\": No space left on device");
  struct Case {
    const char* name;
    const CompileResult& result;
    int status;
    const char* message_part;
  };
  const Case kCases[] = {
      {"written", CompileResult{}, kExitOk, ""},
      {"header", header, kExitFindings, " Errore n. 1250\n"},
      {"no cells", no_cells, kExitFindings,
       "(error 101: the line description file does not exist), so no binary "
       "file was written"},
      {"write failed", failed, kExitFindings,
       "cannot write \"/d/L_T.sim\": No space left on device"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::ostringstream err;
    EXPECT_EQ(ReportCompileEnd(c.result, 101, err), c.status);
    EXPECT_NE(err.str().find(c.message_part), std::string::npos) << err.str();
    if (c.status == kExitOk) {
      EXPECT_EQ(err.str(), "");
    }
  }
}

TEST(RunBuiltinScenario, WritesTheTextsInOrderThenCompiles) {
  FakeFileSystem fs;
  std::ostringstream err;
  const int status = RunBuiltinScenario(fs, "/app", err);
  const ScenarioFileNames n =
      MakeFileNames("/app", kBuiltinLineName, kBuiltinTrainName);
  // Every write in order, with its kind: the descriptions, deleted a
  // moment later, are the only files not flushed to disk.
  std::vector<std::string> writes;
  for (const std::string& entry : fs.log) {
    if (entry.starts_with("write")) writes.push_back(entry);
  }
  ASSERT_GE(writes.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(writes.begin(), writes.begin() + 5),
            (std::vector<std::string>{
                "write_transient " + n.line_description,
                "write_transient " + n.train_description, "write " + n.notes,
                "write " + n.slowdown_form, "write " + n.train_card}));
  // Then the compile stage reads the line description and deletes it.
  EXPECT_EQ(fs.Paths("read").front(), n.line_description);
  EXPECT_FALSE(fs.Has(n.line_description));
  EXPECT_TRUE(fs.Has(n.notes));
  EXPECT_TRUE(fs.Has(n.slowdown_form));
  EXPECT_TRUE(fs.Has(n.train_card));
  if (status == kExitOk) {
    EXPECT_EQ(std::vector<std::string>(writes.begin() + 5, writes.end()),
              (std::vector<std::string>{"write " + n.line_grid,
                                        "write " + n.param_file,
                                        "write " + n.cell_file}));
    EXPECT_FALSE(fs.Has(n.train_description));
    EXPECT_EQ(err.str(), "");
  } else {
    EXPECT_EQ(writes.size(), 5u);
    EXPECT_NE(err.str(), "");
  }
}

TEST(RunBuiltinScenario, FailedTextWriteEndsTheRunThere) {
  FakeFileSystem fs;
  const ScenarioFileNames n =
      MakeFileNames("/app", kBuiltinLineName, kBuiltinTrainName);
  fs.files[n.notes] = "old notes";
  fs.fail_writes.insert(n.notes);
  std::ostringstream err;
  EXPECT_EQ(RunBuiltinScenario(fs, "/app", err), kExitFindings);
  EXPECT_NE(err.str().find(n.notes), std::string::npos);
  EXPECT_EQ(fs.Contents(n.notes), "old notes");
  EXPECT_EQ(
      fs.Paths("write_transient"),
      (std::vector<std::string>{n.line_description, n.train_description}));
  EXPECT_EQ(fs.Paths("write"), std::vector<std::string>{n.notes});
  EXPECT_TRUE(fs.Paths("read").empty());
}

}  // namespace
}  // namespace scenario
