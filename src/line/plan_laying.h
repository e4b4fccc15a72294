#ifndef SCENARIO_LINE_PLAN_LAYING_H_
#define SCENARIO_LINE_PLAN_LAYING_H_

#include <cstdint>
#include <optional>

#include "model/line_grid.h"

namespace scenario {

// Lays plan metres first to last of the grid, each from the two before it:
// straight on, or turning by *turn radians per metre (negative: left).
// A grid that keeps its runs only notes the run; its file's encoder lays
// it. REQUIRES: the grid exists, 2 <= first, last < grid.size(); metres
// first - 2 and first - 1 are laid.
void LayPlanMetres(LineGrid& grid, std::int64_t first, std::int64_t last,
                   std::optional<double> turn);

}  // namespace scenario

#endif  // SCENARIO_LINE_PLAN_LAYING_H_
