#ifndef SCENARIO_COMPILE_POST_PASS_H_
#define SCENARIO_COMPILE_POST_PASS_H_

#include <cstdint>

#include "model/scenario.h"

namespace scenario {

// The smaller of two numbers: y when x > y, else x.
inline std::int32_t minimo(std::int32_t x, std::int32_t y) {
  return x > y ? y : x;
}

// The signal-code post-pass: adds code marks (kind 12, w2 180) before
// signals near warning boards, before slowdown starts, along slow slowdowns
// and before the next signal after them. Records 11, 12, 13 in s.errors.
// REQUIRES: s.track_cells exists.
void ApplySignalCodePass(Scenario& s);

}  // namespace scenario

#endif  // SCENARIO_COMPILE_POST_PASS_H_
