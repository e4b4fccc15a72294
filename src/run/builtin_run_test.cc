// The built-in line and train descriptions taken together: the run must
// make sense on that line and pass every check the readers make.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/exit_status.h"
#include "base/fake_file_system.h"
#include "compile/compile_stage.h"
#include "documents/text_writer.h"
#include "line/builtin_line.h"
#include "line/builtin_line_rows_testing.h"
#include "model/rounding.h"
#include "model/scenario.h"
#include "model/scenario_names.h"
#include "model/track_cells.h"
#include "run/run_sequence.h"
#include "train/builtin_train.h"
#include "train/builtin_train_rows_testing.h"

namespace scenario {
namespace {

// The coaches' top speed, and the timetable's departure from the origin
// (the description's 17:15:30 is the scenario's late start).
constexpr std::int32_t kCoachSpeed = 140;
constexpr std::int32_t kTimetableDeparture = 17 * 3600 + 12 * 60;

const LineRows& Line() {
  static const LineRows rows = ParseLineRows(dati_linea());
  return rows;
}

const TrainRows& Train() {
  static const TrainRows rows = ParseTrainRows(dati_treno());
  return rows;
}

// The metres where the rank B speed or the train's limit may change.
std::vector<std::int32_t> ChangePoints() {
  std::set<std::int32_t> points = {0};
  for (const SpeedBoardRow& b : Line().boards) points.insert(b.posizione);
  for (const ProfileRow& r : Train().limits) points.insert(r.position);
  return {points.begin(), points.end()};
}

// The speed the train may run at metre x, in km/h.
std::int32_t RunningLimit(std::int32_t x) {
  const SpeedBoardRow* board = Line().BoardAt(x);
  const std::int32_t limit = Train().LimitAt(x);
  return board == nullptr ? limit : std::min(limit, board->vbs);
}

TEST(BuiltinScenario, TrainLimitsFollowRankBCappedAtTheCoachSpeed) {
  for (std::int32_t x : ChangePoints()) {
    SCOPED_TRACE(x);
    const SpeedBoardRow* board = Line().BoardAt(x);
    const std::int32_t limit = Train().LimitAt(x);
    if (board == nullptr) {
      // The origin's station limit before the first board.
      EXPECT_EQ(limit, 30);
      continue;
    }
    EXPECT_LE(limit, board->vbs);
    EXPECT_EQ(limit, std::min(kCoachSpeed, board->vbs));
  }
  // No limit row without a change.
  const std::vector<ProfileRow>& limits = Train().limits;
  for (std::size_t i = 1; i < limits.size(); ++i) {
    EXPECT_NE(limits[i].value, limits[i - 1].value) << limits[i].position;
  }
}

TEST(BuiltinScenario, NoTwoItemsShareACell) {
  std::map<std::int64_t, std::string> taken;
  auto take = [&](std::int64_t cell, const std::string& what) {
    auto [it, fresh] = taken.emplace(cell, what);
    EXPECT_TRUE(fresh) << what << " on cell " << cell << " of " << it->second;
  };
  // In the order the readers place them: boards, then stop marks (written
  // without a test, so one on a board would silently replace it), then
  // signals and code changes.
  for (const SpeedBoardRow& b : Line().boards) {
    take(ItemCell(b.posizione), "speed board " + std::to_string(b.posizione));
  }
  for (const IndicatorRow& r : Line().indicators) {
    take(ItemCell(r.position), "indicator board " + r.text);
  }
  for (const StationRow& s : Train().stations) {
    if (s.has_stop_mark()) take(s.stop_mark_cell(), "stop mark " + s.name);
  }
  for (const SignalRow& g : Train().signals) {
    take(ItemCell(g.posizione), "signal " + std::to_string(g.posizione));
  }
  for (const ProfileRow& c : Train().codes) {
    take(FillCell(c.position), "code change " + std::to_string(c.position));
  }
}

TEST(BuiltinScenario, StationSlotsStayBelowTheBoardTexts) {
  const int boards = static_cast<int>(Line().indicators.size());
  const int stations = static_cast<int>(Train().stations.size());
  EXPECT_LE(stations + boards, 78);
  // The ordinal after the last station stays below the board slot counter.
  EXPECT_LT(stations + 1, 80 - boards);
}

TEST(BuiltinScenario, CodeChangesLieOnTheRepeatedStretch) {
  const TrainRows& train = Train();
  ASSERT_FALSE(train.codes.empty());
  EXPECT_EQ(train.codes.front().position, Line().repetition_start);
  for (const ProfileRow& c : train.codes) {
    EXPECT_LE(c.position, Line().repetition_end);
  }
}

TEST(BuiltinScenario, StationsLieOnTheLineOnGentleGradients) {
  for (const StationRow& s : Train().stations) {
    SCOPED_TRACE(s.name);
    EXPECT_LE(s.stretch_end(), Line().length);
    const std::int32_t from = std::max(0, s.stretch_start());
    EXPECT_LE(std::abs(Line().GradientAt(from)), 3);
    for (const GradientRow& g : Line().gradients) {
      if (g.position > from && g.position < s.stretch_end()) {
        EXPECT_LE(std::abs(g.gradient), 3) << g.position;
      }
    }
  }
}

// Seconds a train needs from a stop at metre a to a stop at metre b,
// accelerating at 0.3 m/s^2 and braking at 0.45 m/s^2 within the running
// limit, reckoned metre by metre.
double RunningTime(std::int32_t a, std::int32_t b) {
  constexpr double kAccelerate = 0.30, kBrake = 0.45;
  const std::size_t n = static_cast<std::size_t>(b - a);
  std::vector<double> v(n + 1);
  for (std::size_t i = 0; i <= n; ++i) {
    v[i] = RunningLimit(a + static_cast<std::int32_t>(i)) / 3.6;
  }
  v[0] = 0;
  for (std::size_t i = 1; i <= n; ++i) {
    v[i] = std::min(v[i], std::sqrt(v[i - 1] * v[i - 1] + 2 * kAccelerate));
  }
  v[n] = 0;
  for (std::size_t i = n; i-- > 0;) {
    v[i] = std::min(v[i], std::sqrt(v[i + 1] * v[i + 1] + 2 * kBrake));
  }
  double t = 0;
  for (std::size_t i = 0; i < n; ++i) {
    t += 1.0 / std::max((v[i] + v[i + 1]) / 2, 0.05);
  }
  return t;
}

TEST(BuiltinScenario, TheTimetableCanBeKept) {
  const std::vector<StationRow>& st = Train().stations;
  ASSERT_GT(st.size(), 2u);
  std::int32_t departure_at = st.front().position;
  std::int32_t departure = kTimetableDeparture;
  for (std::size_t k = 1; k < st.size(); ++k) {
    const StationRow& s = st[k];
    if (!s.has_time()) continue;  // run through
    SCOPED_TRACE(s.name);
    const double needed =
        RunningTime(departure_at, s.position) + s.stop_seconds();
    EXPECT_LE(needed, s.time() - departure);
    departure_at = s.position;
    departure = s.time();
  }
}

// Compiles the built-in texts as the run does and keeps the model.
class BuiltinCompile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteTextFile(fs_, names_.line_description, dati_linea()).ok());
    ASSERT_TRUE(
        WriteTextFile(fs_, names_.train_description, dati_treno()).ok());
    s_.line_name = std::string(kBuiltinLineName);
    s_.train_name = std::string(kBuiltinTrainName);
    CompileFiles files;
    files.line_description = names_.line_description;
    files.train_description = names_.train_description;
    files.grid_file = names_.line_grid;
    files.param_file = names_.param_file;
    files.cell_file = names_.cell_file;
    result_ = memorizza_percorso(s_, 1, fs_, files);
  }

  FakeFileSystem fs_;
  const ScenarioFileNames names_ =
      MakeFileNames("/app", kBuiltinLineName, kBuiltinTrainName);
  Scenario s_;
  CompileResult result_;
};

TEST_F(BuiltinCompile, RecordsNoCodeAndWritesTheThreeFiles) {
  EXPECT_EQ(result_.end, CompileEnd::kWritten);
  EXPECT_EQ(s_.errors.error_code, 0);
  for (const Diagnostic& d : s_.errors.diagnostics) {
    ADD_FAILURE() << "code " << d.code << ": " << d.message;
  }
  EXPECT_EQ(s_.last_cell, 3854);
  EXPECT_EQ(fs_.Contents(names_.cell_file).size(), 15u * 3855);
  EXPECT_EQ(fs_.Contents(names_.line_grid).size(), 20u * 192700 - 36);
  EXPECT_TRUE(fs_.Has(names_.param_file));
  EXPECT_FALSE(fs_.Has(names_.line_description));
  EXPECT_FALSE(fs_.Has(names_.train_description));
}

// The compiled cells hold what the two texts describe, item for item: the
// readers placed everything and the post-pass added nothing.
TEST_F(BuiltinCompile, CellsHoldEveryItemOfTheTexts) {
  ASSERT_TRUE(s_.track_cells.exists());
  std::map<int, int> kinds;
  for (const TrackCell& c : s_.track_cells.cells()) ++kinds[c.kind];
  int stop_marks = 0;
  for (const StationRow& st : Train().stations) {
    stop_marks += st.has_stop_mark() ? 1 : 0;
  }
  EXPECT_EQ(kinds[kKindSignal], 99);
  EXPECT_EQ(kinds[kKindStopMark], stop_marks);
  EXPECT_EQ(kinds[kKindSpeedBoard], 44);
  EXPECT_EQ(kinds[kKindIndicatorBoard], 14);
  EXPECT_EQ(kinds[kKindCodeMark], 52);
  for (int kind : {kKindSlowdownEnd, kKindSlowdownStart, kKindWarningBoard,
                   kKindPreWarning, kKindCodeOff})
    EXPECT_EQ(kinds[kind], 0) << kind;

  // Station k's stop mark carries k, and its slot its name and time.
  for (std::size_t k = 0; k < Train().stations.size(); ++k) {
    const StationRow& st = Train().stations[k];
    SCOPED_TRACE(st.name);
    const ParamSlot& slot = s_.param_table[static_cast<int>(k) + 1];
    EXPECT_EQ(slot.text, st.name);
    EXPECT_EQ(slot.long4, st.time());
    if (st.has_stop_mark()) {
      const TrackCell& c = s_.track_cells[st.stop_mark_cell()];
      EXPECT_EQ(c.kind, kKindStopMark);
      EXPECT_EQ(c.w2, static_cast<int>(k) + 1);
    }
  }
}

TEST_F(BuiltinCompile, CellsCarryTheProfilesOfTheTexts) {
  ASSERT_TRUE(s_.track_cells.exists());
  // Every row stands on a multiple of 50, so cell c carries the values in
  // force at metre 50 c, up to the last three cells.
  for (std::int64_t c = 0; c <= s_.last_cell - 3; ++c) {
    SCOPED_TRACE(c);
    const std::int32_t x = static_cast<std::int32_t>(c * 50);
    const TrackCell& cell = s_.track_cells[c];
    ASSERT_EQ(cell.speed_step, Train().LimitAt(x) / 5);
    ASSERT_EQ(cell.gradient, Line().GradientAt(x) + 100);
  }
}

TEST(BuiltinRun, LeavesExactlyTheSixFiles) {
  FakeFileSystem fs;
  std::ostringstream err;
  EXPECT_EQ(RunBuiltinScenario(fs, "/app", err), kExitOk);
  EXPECT_EQ(err.str(), "");
  const ScenarioFileNames n =
      MakeFileNames("/app", kBuiltinLineName, kBuiltinTrainName);
  std::set<std::string> left;
  for (const auto& [path, bytes] : fs.files) left.insert(path);
  EXPECT_EQ(left,
            (std::set<std::string>{n.notes, n.slowdown_form, n.train_card,
                                   n.line_grid, n.param_file, n.cell_file}));
}

}  // namespace
}  // namespace scenario
