#include "pack/pack_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

namespace scenario {
namespace {

ScenarioRow Row(const std::string& name, ScenarioState state,
                std::vector<std::int32_t> codes = {}, int warnings = 0) {
  ScenarioRow row;
  row.scenario = name;
  row.train_file = name + "-.txt";
  row.state = state;
  row.codes = std::move(codes);
  if (state != ScenarioState::kNotBuilt) row.warnings = warnings;
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
    int werror_status;  // with -W
  };
  const Case kCases[] = {
      {"empty pack", {}, false, 0, 0},
      {"all clean",
       {Row("a", ScenarioState::kBuilt), Row("b", ScenarioState::kUpToDate)},
       false,
       0,
       0},
      {"codes, files written",
       {Row("a", ScenarioState::kBuilt), Row("b", ScenarioState::kBuilt, {16})},
       false,
       1,
       1},
      {"codes kept from the last build",
       {Row("a", ScenarioState::kUpToDate, {2})},
       false,
       1,
       1},
      {"warnings alone",
       {Row("a", ScenarioState::kBuilt),
        Row("b", ScenarioState::kBuilt, {}, 3)},
       false,
       0,
       1},
      {"warnings kept from the last build",
       {Row("a", ScenarioState::kUpToDate, {}, 1)},
       false,
       0,
       1},
      {"a scenario wrote nothing",
       {Row("a", ScenarioState::kBuilt, {16}),
        Row("b", ScenarioState::kNothingWritten, {1250})},
       false,
       2,
       2},
      {"warnings, and a scenario wrote nothing",
       {Row("a", ScenarioState::kBuilt, {}, 2),
        Row("b", ScenarioState::kNothingWritten, {1250})},
       false,
       2,
       2},
      {"a train not compiled",
       {Row("a", ScenarioState::kNotBuilt)},
       false,
       2,
       2},
      {"trouble outside the scenarios",
       {Row("a", ScenarioState::kBuilt)},
       true,
       2,
       2},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    PackOutcome outcome;
    outcome.rows = c.rows;
    if (c.trouble) outcome.troubles.push_back("cannot write");
    EXPECT_EQ(PackExitStatus(outcome, /*werror=*/false), c.status);
    EXPECT_EQ(PackExitStatus(outcome, /*werror=*/true), c.werror_status);
    const nlohmann::json doc =
        nlohmann::json::parse(PackSummaryJson(outcome, {}, 1, true));
    EXPECT_EQ(doc["exit_status"], c.werror_status);
  }
}

TEST(PackReport, TablesForPeopleAndTools) {
  PackOutcome outcome;
  outcome.rows = {Row("a, b", ScenarioState::kBuilt, {16, 25}),
                  Row("c", ScenarioState::kUpToDate, {}, 4),
                  Row("d", ScenarioState::kNotBuilt)};
  outcome.grids_written = 1;

  const std::string text = FormatPackSummary(outcome, 2);
  // The warnings column: counted, kept from the record, not counted.
  const auto row_of = [&](const std::string& name) {
    const std::size_t at = text.find("\n" + name + " ");
    return at == std::string::npos
               ? std::string()
               : text.substr(at + 1, text.find('\n', at + 1) - at - 1);
  };
  const std::size_t column = text.find("WARNINGS");
  ASSERT_NE(column, std::string::npos) << text;
  EXPECT_EQ(row_of("a, b").substr(column, 2), "0 ") << text;
  EXPECT_EQ(row_of("c").substr(column, 2), "4 ") << text;
  EXPECT_EQ(row_of("d").substr(column, 2), "- ") << text;
  // The codes column: none recorded is "0", not known (not compiled) "-".
  const std::size_t codes = text.find("CODES");
  EXPECT_EQ(row_of("a, b").substr(codes, 6), "16,25 ") << text;
  EXPECT_EQ(row_of("c").substr(codes, 2), "0 ") << text;
  EXPECT_EQ(row_of("d").substr(codes, 2), "- ") << text;
  EXPECT_NE(text.find("; 4 warnings in 1 scenario;"), std::string::npos)
      << text;
  EXPECT_NE(text.find("16,25"), std::string::npos) << text;
  EXPECT_NE(text.find("x: error 16: taken"), std::string::npos) << text;
  EXPECT_NE(text.find("3 scenarios: 1 built, 1 up to date, 1 with codes"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("2 files written (1 grid)"), std::string::npos) << text;

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
      nlohmann::json::parse(PackSummaryJson(outcome, {}, 2, false));
  ASSERT_EQ(doc["scenarios"].size(), 3u);
  EXPECT_EQ(doc["scenarios"][0]["codes"], nlohmann::json({16, 25}));
  EXPECT_EQ(doc["scenarios"][1]["state"], "up to date");
  EXPECT_EQ(doc["scenarios"][0]["warnings"], 0);
  EXPECT_EQ(doc["scenarios"][1]["warnings"], 4);
  EXPECT_TRUE(doc["scenarios"][2]["warnings"].is_null());
  EXPECT_EQ(doc["totals"]["warnings"], 4);
  EXPECT_EQ(doc["totals"]["with_warnings"], 1);
  EXPECT_EQ(doc["totals"]["files_written"], 2);
  EXPECT_EQ(doc["exit_status"], 2);  // d was not compiled
}

// The totals speak of one thing in the singular.
TEST(PackReport, TotalsCountInTheSingularWhereThereIsOne) {
  struct Case {
    std::vector<ScenarioRow> rows;
    int grids;
    const char* totals;
  };
  const Case kCases[] = {
      {{Row("a", ScenarioState::kBuilt, {}, 1)},
       1,
       "\n1 scenario: 1 built, 0 up to date, 0 with codes, 0 not written, 0 "
       "not compiled; 1 warning in 1 scenario; 2 files written (1 grid); "},
      {{Row("a", ScenarioState::kBuilt, {}, 2),
        Row("b", ScenarioState::kBuilt, {}, 3)},
       0,
       "\n2 scenarios: 2 built, 0 up to date, 0 with codes, 0 not written, 0 "
       "not compiled; 5 warnings in 2 scenarios; 4 files written (0 grids); "},
  };
  for (const Case& c : kCases) {
    PackOutcome outcome;
    outcome.rows = c.rows;
    outcome.grids_written = c.grids;
    const std::string text = FormatPackSummary(outcome, 1);
    EXPECT_NE(text.find(c.totals), std::string::npos) << text;
  }
}

TEST(PackReport, ProgressWithoutATerminalIsOneLinePerScenario) {
  std::ostringstream out;
  PackProgress progress(out, /*terminal=*/false);
  progress.Started("a", 0, 2);
  progress.Finished(Row("a", ScenarioState::kBuilt, {16}), 1, 2);
  progress.Finished(Row("b", ScenarioState::kBuilt, {}, 2), 2, 2);
  progress.End();
  const std::string lines = out.str();
  EXPECT_EQ(lines.substr(0, lines.find('(')), "[1/2] a: built, codes 16 ");
  EXPECT_NE(lines.find("\n[2/2] b: built, 2 warnings ("), std::string::npos)
      << lines;
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2);

  std::ostringstream bar;
  PackProgress on_terminal(bar, /*terminal=*/true);
  on_terminal.Started("a", 0, 2);
  on_terminal.Finished(Row("a", ScenarioState::kBuilt, {16}), 1, 2);
  on_terminal.End();
  EXPECT_EQ(bar.str().find('\n'), std::string::npos);  // redrawn in place
  EXPECT_NE(bar.str().find("1/2  a  "), std::string::npos) << bar.str();
  EXPECT_NE(bar.str().find("errors: 1"), std::string::npos) << bar.str();

  // Warnings are errors on the bar only when they count as codes.
  for (const bool werror : {false, true}) {
    std::ostringstream warned;
    PackProgress with_warnings(warned, /*terminal=*/true, werror);
    with_warnings.Finished(Row("b", ScenarioState::kBuilt, {}, 2), 1, 1);
    EXPECT_NE(warned.str().find(werror ? "errors: 1" : "errors: 0"),
              std::string::npos)
        << warned.str();
  }
}

}  // namespace
}  // namespace scenario
