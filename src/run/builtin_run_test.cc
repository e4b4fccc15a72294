// The built-in line and train descriptions taken together: the run must
// make sense on that line and pass every check the readers make.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "line/builtin_line.h"
#include "line/builtin_line_rows_testing.h"
#include "model/rounding.h"
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

}  // namespace
}  // namespace scenario
