#include "run/pack_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

namespace scenario {
namespace {

ScenarioRow Row(const std::string& name, ScenarioState state,
                std::vector<std::int32_t> codes = {}) {
  ScenarioRow row;
  row.scenario = name;
  row.train_file = name + "-.txt";
  row.state = state;
  row.codes = std::move(codes);
  if (!row.codes.empty()) row.first_diagnostic = "x: error 16: taken, \"a\"";
  if (state == ScenarioState::kBuilt) row.written = {"a.sim", "a.dat"};
  return row;
}

TEST(PackReport, ExitStatusIsTheWorstScenario) {
  struct Case {
    const char* name;
    std::vector<ScenarioRow> rows;
    bool trouble;
    int status;
  };
  const Case kCases[] = {
      {"empty pack", {}, false, 0},
      {"all clean",
       {Row("a", ScenarioState::kBuilt), Row("b", ScenarioState::kUpToDate)},
       false,
       0},
      {"codes, files written",
       {Row("a", ScenarioState::kBuilt), Row("b", ScenarioState::kBuilt, {16})},
       false,
       1},
      {"codes kept from the last build",
       {Row("a", ScenarioState::kUpToDate, {2})},
       false,
       1},
      {"a scenario wrote nothing",
       {Row("a", ScenarioState::kBuilt, {16}),
        Row("b", ScenarioState::kNothingWritten, {1250})},
       false,
       2},
      {"a train not compiled", {Row("a", ScenarioState::kNotBuilt)}, false, 2},
      {"trouble outside the scenarios",
       {Row("a", ScenarioState::kBuilt)},
       true,
       2},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    PackOutcome outcome;
    outcome.rows = c.rows;
    if (c.trouble) outcome.troubles.push_back("cannot write");
    EXPECT_EQ(PackExitStatus(outcome), c.status);
  }
}

TEST(PackReport, TablesForPeopleAndTools) {
  PackOutcome outcome;
  outcome.rows = {Row("a, b", ScenarioState::kBuilt, {16, 25}),
                  Row("c", ScenarioState::kUpToDate)};
  outcome.grids_written = 1;

  const std::string text = FormatPackSummary(outcome, 2);
  EXPECT_NE(text.find("16,25"), std::string::npos) << text;
  EXPECT_NE(text.find("x: error 16: taken"), std::string::npos) << text;
  EXPECT_NE(text.find("2 scenarios: 1 built, 1 up to date, 1 with codes"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("2 files written (1 grids)"), std::string::npos) << text;

  // Fields holding commas or quotes are quoted, quotes doubled.
  const std::string csv = PackSummaryCsv(outcome);
  EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
            "scenario,state,codes,first_diagnostic,warnings,files_written,"
            "time_ms");
  EXPECT_NE(csv.find("\r\n\"a, b\",built,16 25,\"x: error 16: taken, "
                     "\"\"a\"\"\",0,2,"),
            std::string::npos)
      << csv;

  const nlohmann::json doc =
      nlohmann::json::parse(PackSummaryJson(outcome, {}, 2));
  ASSERT_EQ(doc["scenarios"].size(), 2u);
  EXPECT_EQ(doc["scenarios"][0]["codes"], nlohmann::json({16, 25}));
  EXPECT_EQ(doc["scenarios"][1]["state"], "up to date");
  EXPECT_EQ(doc["totals"]["files_written"], 2);
  EXPECT_EQ(doc["exit_status"], 1);
}

TEST(PackReport, ProgressWithoutATerminalIsOneLinePerScenario) {
  std::ostringstream out;
  PackProgress progress(out, /*terminal=*/false);
  progress.Started("a", 0, 2);
  progress.Finished(Row("a", ScenarioState::kBuilt, {16}), 1, 2);
  progress.End();
  const std::string lines = out.str();
  EXPECT_EQ(lines.substr(0, lines.find('(')), "[1/2] a: built, codes 16 ");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1);

  std::ostringstream bar;
  PackProgress on_terminal(bar, /*terminal=*/true);
  on_terminal.Started("a", 0, 2);
  on_terminal.Finished(Row("a", ScenarioState::kBuilt, {16}), 1, 2);
  on_terminal.End();
  EXPECT_EQ(bar.str().find('\n'), std::string::npos);  // redrawn in place
  EXPECT_NE(bar.str().find("1/2  a  "), std::string::npos) << bar.str();
  EXPECT_NE(bar.str().find("troubled: 1"), std::string::npos) << bar.str();
}

}  // namespace
}  // namespace scenario
