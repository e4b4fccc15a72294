#ifndef SCENARIO_MODEL_SCENARIO_TESTING_H_
#define SCENARIO_MODEL_SCENARIO_TESTING_H_

// Test-only: a scenario as the line reader leaves it after a length row,
// for tests of what comes after (placement, train rows, the post-pass).

#include <cstdint>

#include "model/scenario.h"

namespace scenario {

// Cells 0 to last_cell, all free; extended_length to match.
// REQUIRES: last_cell >= 0.
inline Scenario ScenarioWithCells(std::int32_t last_cell) {
  Scenario s;
  s.last_cell = last_cell;
  s.extended_length = last_cell * 50;
  s.track_cells.Create(last_cell);
  return s;
}

}  // namespace scenario

#endif  // SCENARIO_MODEL_SCENARIO_TESTING_H_
