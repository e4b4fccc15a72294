#include "line/plan_laying.h"

#include <cassert>

#include "model/plan_runs.h"

namespace scenario {

void LayPlanMetres(LineGrid& grid, std::int64_t first, std::int64_t last,
                   std::optional<double> turn) {
  assert(grid.exists() && first >= 2 && last < grid.size());
  const PlanRun run{first, last, turn};
  if (grid.kept_runs()) {
    grid.AddRun(run);
    return;
  }
  // The last two points are carried from one metre to the next rather than
  // read back: the same sums, so the same bits.
  PlanPoints p{grid.x(first - 2), grid.y(first - 2), grid.x(first - 1),
               grid.y(first - 1)};
  WalkPlanRun(run, &p, [&grid](std::int64_t m, double x, double y) {
    grid.SetDoubleUnchecked(m, x, y);
  });
}

}  // namespace scenario
