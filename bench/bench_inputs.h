#ifndef SCENARIO_BENCH_BENCH_INPUTS_H_
#define SCENARIO_BENCH_BENCH_INPUTS_H_

// The inputs of the micro-benchmarks: the built-in descriptions as the
// built-in run writes them, and the longest line the format allows.

#include <cstdint>
#include <string>

#include "model/scenario.h"

namespace scenario::bench {

// The built-in line description's bytes, with the length row and the
// repetition row's end set to length (185700: as built in).
std::string LineDescription(std::int32_t length);
// The built-in train description's bytes.
std::string TrainDescription();

// A scenario compiled from the built-in train and the line of that
// length, post-pass and stamps included, as the writing finds it.
// j = 0 builds no grid.
Scenario CompiledScenario(std::int32_t length, std::int32_t j);

}  // namespace scenario::bench

#endif  // SCENARIO_BENCH_BENCH_INPUTS_H_
