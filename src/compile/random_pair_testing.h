#ifndef SCENARIO_COMPILE_RANDOM_PAIR_TESTING_H_
#define SCENARIO_COMPILE_RANDOM_PAIR_TESTING_H_

// Random valid line and train description pairs, for the round-trip
// property test, the fuzz seeds and the benchmarks (built only into those).
//
// A pair is made from a seed alone: the same seed gives the same bytes on
// every host. It holds every row kind of both files, written as an author
// would (general rows in any order and case of the kilometre records,
// selectors, repetition with 4 or 9 codes or end 0, curves of every class
// and side, touching, overlapping and out of order, gradients steep and
// negative, mountain-side stretches close, overlapping and with marks,
// maximum-speed boards of one or two sets, indicator boards and stations
// with Windows-1252 accents, stations of many kinds with fields and end
// flags, signals of every type and tempo with overlapping look-back
// cells, slowdowns with and without warnings, pre-warnings and d_v,
// below and above 110 km/h, code changes of any code) and the cases where
// the files cannot tell what was written: positions inside a 50 m cell,
// rows that a later row overwrites, rows that leave no trace.
//
// Invariant: the pair compiles, with the grid, under its names with no
// code recorded. The generator places items on free cells itself; the
// code marks of the post-pass, which depend on the whole train, are made
// sure of by compiling the draft and leaving out each row that a code
// blames until none is recorded.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "compile/compile_stage.h"
#include "model/scenario.h"

namespace scenario {

struct RandomPairOptions {
  // The line's length in metres (0 to 1000000); absent: from the seed,
  // most lines a few kilometres, one in ten up to 200 km and one in fifty
  // up to 1000000 m.
  std::optional<std::int32_t> length;
};

// Both descriptions and the names they compile under (Windows-1252; the
// texts with CR LF line ends, one row a line).
struct RandomPair {
  std::uint32_t seed = 0;
  std::string line_name;
  std::string train_name;
  std::string line_text;
  std::string train_text;
};

RandomPair MakeRandomPair(std::uint32_t seed,
                          const RandomPairOptions& options = {});

// The pairs the round-trip property test takes: seeds 0 to
// kRoundTripSeedCount - 1, lengths from the seed.
inline constexpr std::uint32_t kRoundTripSeedCount = 400;

// The longest line the format allows, as the benchmarks and the property
// test compile it.
inline constexpr std::int32_t kLongestLine = 1000000;
inline constexpr std::uint32_t kLongestPairSeed = 1;
RandomPair LongestRandomPair();

// One compile of a pair in memory, with the grid, as the author commands
// compile a pair: the descriptions are neither changed nor deleted.
struct InMemoryCompile {
  Scenario scenario;  // the codes recorded are in scenario.errors
  CompileResult result;
  // The files written; empty when the compile wrote none.
  std::string cell_file;
  std::string param_file;
  std::string grid_file;
};

// REQUIRES: *out is as constructed.
void CompileInMemory(std::string_view line_text, std::string_view train_text,
                     std::string_view line_name, std::string_view train_name,
                     InMemoryCompile* out);

}  // namespace scenario

#endif  // SCENARIO_COMPILE_RANDOM_PAIR_TESTING_H_
