#include "line/plan_laying.h"

#include <cassert>

namespace scenario {
namespace {

// step(x1, y1, dx, dy) gives metre m from metre m - 1 and the step
// (dx, dy) from m - 2 to m - 1. The last two points are carried from one
// metre to the next rather than read back: the same sums, so the same
// bits.
template <typename Step>
void LayRun(LineGrid& grid, std::int64_t first, std::int64_t last, Step step) {
  double x0 = grid.x(first - 2), y0 = grid.y(first - 2);
  double x1 = grid.x(first - 1), y1 = grid.y(first - 1);
  for (std::int64_t m = first; m <= last; ++m) {
    double x, y;
    step(x1, y1, x1 - x0, y1 - y0, &x, &y);
    grid.SetDoubleUnchecked(m, x, y);
    x0 = x1;
    y0 = y1;
    x1 = x;
    y1 = y;
  }
}

}  // namespace

void LayPlanMetres(LineGrid& grid, std::int64_t first, std::int64_t last,
                   std::optional<double> turn) {
  assert(grid.exists() && first >= 2 && last < grid.size());
  if (!turn) {
    LayRun(
        grid, first, last,
        [](double x1, double y1, double dx, double dy, double* x, double* y) {
          *x = x1 + dx;
          *y = y1 + dy;
        });
    return;
  }
  const double k = *turn;
  // Deliberate: the step is not scaled back to one metre, so each curve
  // metre is sqrt(1 + k * k) times longer than the one before; stored
  // plans depend on it.
  LayRun(grid, first, last,
         [k](double x1, double y1, double dx, double dy, double* x, double* y) {
           *x = x1 + (dx + k * dy);
           *y = y1 + (dy - k * dx);
         });
}

}  // namespace scenario
