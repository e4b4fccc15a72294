#include "train/builtin_train.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "model/rounding.h"
#include "train/builtin_train_rows_testing.h"

namespace scenario {
namespace {

// The highest metre a row may address: position + 100 <= 50 * last_cell,
// with the built-in line's 185700 m.
constexpr std::int32_t kLastRowPosition = 185700 + 7000 - 100;

const std::vector<std::string>& Lines() {
  static const std::vector<std::string> lines = dati_treno();
  return lines;
}

const TrainRows& Rows() {
  static const TrainRows rows = ParseTrainRows(Lines());
  return rows;
}

TEST(BuiltinTrain, NamedStationsAreAsDescribed) {
  std::map<std::int32_t, const StationRow*> by_position;
  for (const StationRow& s : Rows().stations) by_position[s.position] = &s;
  ASSERT_TRUE(by_position.count(3100));
  EXPECT_EQ(by_position[3100]->time(), 17 * 3600 + 18 * 60);
  ASSERT_TRUE(by_position.count(17050));
  EXPECT_EQ(by_position[17050]->kind, 22);
  EXPECT_EQ(by_position[17050]->length, 300);
  EXPECT_EQ(by_position[17050]->end_flag(), 1);
  EXPECT_EQ(by_position[17050]->stop_mark_cell(), 344);
  // Exactly these four stations are halts without a stop mark.
  std::set<std::int32_t> halts;
  for (const StationRow& s : Rows().stations) {
    if (s.kind == 27 || s.kind == 28) halts.insert(s.position);
  }
  EXPECT_EQ(halts, (std::set<std::int32_t>{8200, 44900, 51250, 161300}));
}

TEST(BuiltinTrain, ProfilesKeepTheirRanges) {
  const TrainRows& rows = Rows();
  ASSERT_EQ(rows.adhesion.size(), 15u);
  ASSERT_EQ(rows.limits.size(), 20u);
  for (const auto* list : {&rows.adhesion, &rows.limits}) {
    const bool limits = list == &rows.limits;
    EXPECT_EQ(list->front().position, 0);
    for (std::size_t i = 0; i < list->size(); ++i) {
      const ProfileRow& r = (*list)[i];
      SCOPED_TRACE(r.entry);
      if (i > 0) {
        EXPECT_GT(r.position, (*list)[i - 1].position);
      }
      EXPECT_EQ(r.position % 50, 0);
      EXPECT_LE(r.position, kLastRowPosition);
      EXPECT_GE(r.value, limits ? 30 : 65);
      EXPECT_LE(r.value, limits ? 140 : 87);
      if (limits) {
        EXPECT_EQ(r.value % 5, 0);
      }
    }
  }
}

TEST(BuiltinTrain, StationsKeepTheirRanges) {
  const std::vector<StationRow>& st = Rows().stations;
  ASSERT_EQ(st.size(), 23u);
  std::set<std::int32_t> kinds;
  std::map<std::int32_t, int> stops;
  int kind22 = 0, flagged = 0, untimed = 0;
  for (std::size_t i = 0; i < st.size(); ++i) {
    const StationRow& s = st[i];
    SCOPED_TRACE(s.name);
    const bool first = i == 0, last = i + 1 == st.size();
    if (i > 0) {
      EXPECT_GT(s.position, st[i - 1].position);
    }
    EXPECT_EQ(s.position % 50, 0);
    EXPECT_LE(s.position + 800, kLastRowPosition + 100);
    kinds.insert(s.kind);
    kind22 += s.kind == 22 ? 1 : 0;
    EXPECT_EQ(s.kind == 8, first);
    EXPECT_EQ(s.kind == 2, last);
    EXPECT_EQ(s.length % 100, 0);
    EXPECT_GE(s.length, 200);
    EXPECT_LE(s.length, 600);
    EXPECT_EQ(s.fields[0], (first || i == 2 || last) ? 1 : 0);
    EXPECT_EQ(s.fields[1], last ? 1 : 0);
    EXPECT_TRUE(s.fields[2] == 0 || s.fields[2] == 1);
    flagged += s.fields[2];
    for (int k = 3; k <= 8; ++k) {
      EXPECT_GE(s.fields[k], 0);
      EXPECT_LE(s.fields[k], 5);
    }
    EXPECT_LE(s.fields[3], 4);
    EXPECT_LE(s.fields[4], 1);
    EXPECT_EQ(s.fields[5], 0);
    EXPECT_TRUE(s.fields[6] == 0 || s.fields[6] == 2 || s.fields[6] == 4 ||
                s.fields[6] == 5);
    EXPECT_LE(s.fields[7], 1);
    EXPECT_LE(s.fields[8], 1);
    // Field 13 is the stop in seconds: 1 at the origin, none where the
    // train runs through and at the terminus.
    const std::int32_t stop = s.stop_seconds();
    if (first) {
      EXPECT_EQ(stop, 1);
    } else if (last || !s.has_time()) {
      EXPECT_EQ(stop, 0);
    } else {
      ++stops[stop];
    }
    untimed += s.has_time() ? 0 : 1;
    EXPECT_TRUE(s.minutes < 60 && s.seconds < 60);
  }
  EXPECT_EQ(kinds, (std::set<std::int32_t>{2, 4, 8, 12, 22, 27, 28}));
  EXPECT_GT(kind22, 11);
  EXPECT_EQ(flagged, 2);
  EXPECT_EQ(untimed, 4);
  EXPECT_EQ(stops, (std::map<std::int32_t, int>{{60, 15}, {75, 1}, {99, 1}}));
}

TEST(BuiltinTrain, TimetableRisesFromTheStartToTheTerminus) {
  const std::vector<StationRow>& st = Rows().stations;
  ASSERT_EQ(st.size(), 23u);
  EXPECT_EQ(st.front().time(), 17 * 3600 + 15 * 60 + 30);
  EXPECT_EQ(st.back().time(), 19 * 3600 + 40 * 60);
  std::int32_t previous = 0;
  for (const StationRow& s : st) {
    if (!s.has_time()) continue;
    EXPECT_GT(s.time(), previous) << s.name;
    previous = s.time();
  }
}

TEST(BuiltinTrain, StationsKeepTheirDistance) {
  const std::vector<StationRow>& st = Rows().stations;
  for (std::size_t i = 0; i < st.size(); ++i) {
    SCOPED_TRACE(st[i].name);
    EXPECT_GT(st[i].stop_mark_cell(), 1);
    if (i > 0) {
      EXPECT_GE(st[i].stretch_start() - 350, st[i - 1].stretch_end());
    }
  }
}

TEST(BuiltinTrain, SignalsKeepTheirRanges) {
  const std::vector<SignalRow>& sig = Rows().signals;
  ASSERT_EQ(sig.size(), 99u);
  EXPECT_EQ(sig.front().posizione, 1050);
  EXPECT_EQ(sig.back().posizione, 183700);
  std::map<std::int32_t, int> tempos;
  std::map<std::string, int> shapes;
  for (std::size_t i = 0; i < sig.size(); ++i) {
    const SignalRow& s = sig[i];
    SCOPED_TRACE(s.posizione);
    if (i > 0) {
      EXPECT_GT(s.posizione, sig[i - 1].posizione);
    }
    EXPECT_EQ(s.posizione % 50, 0);
    EXPECT_LE(s.posizione, kLastRowPosition);
    // The look-back cells reach eight cells below the signal's own.
    EXPECT_GE(ItemCell(s.posizione) - 8, 0);
    EXPECT_EQ(s.sx, 2);
    EXPECT_TRUE(s.s1 >= 2 && s.s1 <= 5);
    EXPECT_TRUE(s.s2 >= 0 && s.s2 <= 4);
    EXPECT_TRUE(s.s3 == 0 || s.s3 == 1);
    EXPECT_TRUE(s.rapp == 0 || s.rapp == 1);
    EXPECT_TRUE(s.dx >= 0 && s.dx <= 2);
    EXPECT_TRUE(s.d1 >= 0 && s.d1 <= 3);
    EXPECT_TRUE(s.d2 == 0 || s.d2 == 1);
    EXPECT_TRUE(s.d3 == 0 || s.d3 == 1);
    EXPECT_LT(s.sx * 3 + s.dx, 10);
    if (s.tempo != 0) {
      ++tempos[s.tempo];
      // Only departure signals clear late.
      EXPECT_EQ(s.s1, 5);
    }
    ++shapes[s.shape];
  }
  int late = 0;
  for (const auto& [tempo, count] : tempos) {
    late += count;
    EXPECT_TRUE(tempo == 130 || tempo == 145 || tempo == 210 || tempo == 230 ||
                tempo == 235 || tempo == 255)
        << tempo;
  }
  EXPECT_EQ(late, 8);
  EXPECT_EQ(tempos.size(), 6u);
  auto most = std::max_element(
      shapes.begin(), shapes.end(),
      [](const auto& a, const auto& b) { return a.second < b.second; });
  EXPECT_EQ(most->first, "   2, 4, 0,  0, 0,    2,  1,0,0, 0");
}

// Home signals guard the stations' stretches and departure signals follow
// them; halts of kind 28 have neither, and no signal stands inside a
// stretch. The first value of a signal tells its role: 5 departure, 3 home
// (2 at the terminus), 4 block.
TEST(BuiltinTrain, SignalsStandAroundStationsAndBetweenThem) {
  const TrainRows& rows = Rows();
  const std::vector<SignalRow>& sig = rows.signals;
  for (std::size_t k = 0; k < rows.stations.size(); ++k) {
    const StationRow& s = rows.stations[k];
    SCOPED_TRACE(s.name);
    const SignalRow* before = nullptr;
    const SignalRow* after = nullptr;
    for (const SignalRow& g : sig) {
      EXPECT_FALSE(g.posizione >= s.stretch_start() &&
                   g.posizione <= s.stretch_end())
          << g.posizione;
      if (g.posizione < s.stretch_start()) before = &g;
      if (g.posizione > s.stretch_end() && after == nullptr) after = &g;
    }
    const bool first = k == 0, last = k + 1 == rows.stations.size();
    if (s.kind == 28) {
      ASSERT_TRUE(before != nullptr && after != nullptr);
      EXPECT_GE(s.stretch_start() - before->posizione, 350);
      EXPECT_GE(after->posizione - s.stretch_end(), 350);
      EXPECT_EQ(before->s1, 4);
      EXPECT_EQ(after->s1, 4);
      continue;
    }
    if (!first) {
      ASSERT_NE(before, nullptr);
      EXPECT_GE(s.stretch_start() - before->posizione, 300);
      EXPECT_LE(s.stretch_start() - before->posizione, 650);
      EXPECT_EQ(before->s1, last ? 2 : 3);
    }
    if (!last) {
      ASSERT_NE(after, nullptr);
      // The origin's outer departure signal stands further out.
      EXPECT_GE(after->posizione - s.stretch_end(), 100);
      EXPECT_LE(after->posizione - s.stretch_end(), first ? 550 : 300);
      EXPECT_EQ(after->s1, 5);
    }
  }
  int blocks = 0;
  for (const SignalRow& g : sig) blocks += g.s1 == 4 ? 1 : 0;
  EXPECT_EQ(blocks, 99 - 38);
}

TEST(BuiltinTrain, CodeChangesPrecedeTheSignalsOfTheFirstStretch) {
  const TrainRows& rows = Rows();
  ASSERT_EQ(rows.codes.size(), 52u);
  EXPECT_EQ(rows.codes.front().position, 7050);
  EXPECT_EQ(rows.codes.back().position, 79450);
  std::set<std::int32_t> covered;
  for (std::size_t i = 0; i < rows.codes.size(); ++i) {
    const ProfileRow& c = rows.codes[i];
    SCOPED_TRACE(c.position);
    EXPECT_EQ(c.value, 270);
    EXPECT_EQ(c.position % 50, 0);
    if (i > 0) {
      EXPECT_GT(c.position, rows.codes[i - 1].position);
    }
    if (i == 0) continue;
    // Each later change stands a little before a signal.
    const SignalRow* next = nullptr;
    for (const SignalRow& g : rows.signals) {
      if (g.posizione > c.position) {
        next = &g;
        break;
      }
    }
    ASSERT_NE(next, nullptr);
    EXPECT_GE(next->posizione - c.position, 200);
    EXPECT_LE(next->posizione - c.position, 350);
    EXPECT_TRUE(covered.insert(next->posizione).second);
  }
  for (const SignalRow& g : rows.signals) {
    if (g.posizione > 7300 && g.posizione <= 79700) {
      EXPECT_TRUE(covered.count(g.posizione)) << g.posizione;
    }
  }
}

TEST(BuiltinTrain, MarksSignalsAndCodeChangesTakeDistinctCells) {
  const TrainRows& rows = Rows();
  std::map<std::int64_t, std::string> taken;
  auto take = [&](std::int64_t cell, const std::string& what) {
    auto [it, fresh] = taken.emplace(cell, what);
    EXPECT_TRUE(fresh) << what << " on cell " << cell << " of " << it->second;
  };
  for (const StationRow& s : rows.stations) {
    if (s.has_stop_mark()) take(s.stop_mark_cell(), "stop mark " + s.name);
  }
  for (const SignalRow& g : rows.signals) {
    take(ItemCell(g.posizione), "signal " + std::to_string(g.posizione));
  }
  for (const ProfileRow& c : rows.codes) {
    take(FillCell(c.position), "code change " + std::to_string(c.position));
  }
}

}  // namespace
}  // namespace scenario
