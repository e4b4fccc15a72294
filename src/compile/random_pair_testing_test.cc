// The random pairs are valid (every pair the tests take compiles without a
// code), reproducible from their seed, and cover the hard cases they are
// made for.

#include "compile/random_pair_testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "model/param_table.h"
#include "model/track_cells.h"

namespace scenario {
namespace {

bool AnyCell(const InMemoryCompile& c,
             const std::function<bool(const TrackCell&)>& holds) {
  const std::vector<TrackCell>& cells = c.scenario.track_cells.cells();
  return std::any_of(cells.begin(), cells.end(), holds);
}

bool AnySlot(const InMemoryCompile& c, int first, int last,
             const std::function<bool(const ParamSlot&)>& holds) {
  for (int i = first; i <= last; ++i) {
    if (holds(c.scenario.param_table[i])) return true;
  }
  return false;
}

bool HasAccent(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char ch) {
    return static_cast<unsigned char>(ch) >= 0x80;
  });
}

const ParamSlot& Slot(const InMemoryCompile& c, int i) {
  return c.scenario.param_table[i];
}

// A case the pairs are made to hold, found in a compiled pair.
struct Coverage {
  const char* what;
  bool (*found)(const InMemoryCompile& c);
};

const Coverage kCoverage[] = {
    {"a line of 2 km or less",
     [](const auto& c) { return Slot(c, kGeneralSlot).long2 <= 2000; }},
    {"a line over 100 km",
     [](const auto& c) { return Slot(c, kGeneralSlot).long2 > 100000; }},
    {"a length off the 50 m grid",
     [](const auto& c) { return Slot(c, kGeneralSlot).long2 % 50 != 0; }},
    {"a kilometre record with its flag",
     [](const auto& c) {
       return AnySlot(c, kKilometreSlotFirst, kKilometreSlotLast,
                      [](const ParamSlot& s) { return s.long3 == 1; });
     }},
    {"repetition with 4 codes",
     [](const auto& c) { return Slot(c, kTrainSlot).long3 == 4; }},
    {"repetition with 9 codes",
     [](const auto& c) { return Slot(c, kTrainSlot).long3 == 9; }},
    {"mountain-side marks",
     [](const auto& c) {
       return AnyCell(
           c, [](const TrackCell& t) { return t.kind == kKindMountainMark; });
     }},
    {"a mountain side joined as type 3",
     [](const auto& c) {
       return AnyCell(c, [](const TrackCell& t) { return t.mountain == 3; });
     }},
    {"a steep gradient",
     [](const auto& c) {
       return AnyCell(c, [](const TrackCell& t) {
         return t.gradient < 40 || t.gradient > 160;
       });
     }},
    {"a maximum-speed board with two sets",
     [](const auto& c) {
       return AnyCell(c, [](const TrackCell& t) {
         return t.kind == kKindSpeedBoard && t.w2 % 20 != 0;
       });
     }},
    {"an indicator board text with an accent",
     [](const auto& c) {
       return AnySlot(c, 1, kFirstBoardTextSlot,
                      [](const ParamSlot& s) { return HasAccent(s.text); });
     }},
    {"a station passed through",
     [](const auto& c) {
       return AnySlot(c, 1, kFirstBoardTextSlot - 2, [](const ParamSlot& s) {
         return s.byte1 >= 25 && !s.text.empty();
       });
     }},
    {"a station of kind 5 or 6",
     [](const auto& c) {
       return AnySlot(c, 1, kFirstBoardTextSlot - 2, [](const ParamSlot& s) {
         return (s.byte1 == 5 || s.byte1 == 6) && !s.text.empty();
       });
     }},
    {"a station with its end flag",
     [](const auto& c) {
       return AnySlot(c, 2, kFirstBoardTextSlot - 2,
                      [](const ParamSlot& s) { return s.byte5 != 0; });
     }},
    {"a stop mark",
     [](const auto& c) {
       return AnyCell(
           c, [](const TrackCell& t) { return t.kind == kKindStopMark; });
     }},
    {"a signal with a tempo",
     [](const auto& c) {
       return AnyCell(c, [](const TrackCell& t) {
         return t.kind == kKindSignal && t.b10 != 0;
       });
     }},
    {"a slowdown's pre-warning cells",
     [](const auto& c) {
       return AnyCell(c, [](const TrackCell& t) {
         return t.kind == kKindPreWarning && t.w4 != 0;
       });
     }},
    {"a slowdown below 110 km/h and one above",
     [](const auto& c) {
       auto start_at = [&c](bool slow) {
         return AnyCell(c, [slow](const TrackCell& t) {
           return t.kind == kKindSlowdownStart && (t.w2 < 110) == slow;
         });
       };
       return start_at(true) && start_at(false);
     }},
    {"a code change with no code",
     [](const auto& c) {
       return AnyCell(
           c, [](const TrackCell& t) { return t.kind == kKindCodeOff; });
     }},
};

std::string Lower(std::string text) {
  for (char& ch : text) {
    ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  }
  return text;
}

// Every curve keyword "curva" + side + class the line text holds.
void CollectCurveKeywords(const std::string& line_text,
                          std::set<std::string>* found) {
  const std::string text = Lower(line_text);
  for (std::size_t at = text.find("\ncurva"); at != std::string::npos;
       at = text.find("\ncurva", at + 1)) {
    found->insert(text.substr(at + 1, 7));
  }
}

TEST(RandomPair, EveryPairTheTestsTakeCompilesWithoutACode) {
  std::vector<RandomPair> pairs;
  for (std::uint32_t seed = 0; seed < kRoundTripSeedCount; ++seed) {
    pairs.push_back(MakeRandomPair(seed));
  }
  pairs.push_back(LongestRandomPair());
  std::vector<bool> covered(std::size(kCoverage), false);
  std::set<std::string> curves;
  for (const RandomPair& pair : pairs) {
    SCOPED_TRACE("seed " + std::to_string(pair.seed));
    InMemoryCompile c;
    CompileInMemory(pair.line_text, pair.train_text, pair.line_name,
                    pair.train_name, &c);
    ASSERT_EQ(c.result.end, CompileEnd::kWritten);
    ASSERT_TRUE(c.scenario.errors.diagnostics.empty())
        << c.scenario.errors.diagnostics.front().message << "\n"
        << pair.line_text << pair.train_text;
    EXPECT_FALSE(c.grid_file.empty());
    for (std::size_t i = 0; i < std::size(kCoverage); ++i) {
      if (!covered[i]) covered[i] = kCoverage[i].found(c);
    }
    CollectCurveKeywords(pair.line_text, &curves);
  }
  for (std::size_t i = 0; i < std::size(kCoverage); ++i) {
    EXPECT_TRUE(covered[i]) << "no pair holds " << kCoverage[i].what;
  }
  EXPECT_EQ(curves.size(), 12u) << "every class of curve, both sides";
  EXPECT_EQ(pairs.back().line_text.find("lunghezza percorso, 1000000\r\n") !=
                std::string::npos,
            true);
}

TEST(RandomPair, TheSeedAloneGivesThePair) {
  const RandomPair a = MakeRandomPair(17);
  const RandomPair b = MakeRandomPair(17);
  EXPECT_EQ(a.line_text, b.line_text);
  EXPECT_EQ(a.train_text, b.train_text);
  EXPECT_EQ(a.line_name, b.line_name);
  EXPECT_EQ(a.train_name, b.train_name);
  const RandomPair other = MakeRandomPair(18);
  EXPECT_NE(a.line_text + a.train_text, other.line_text + other.train_text);
}

}  // namespace
}  // namespace scenario
