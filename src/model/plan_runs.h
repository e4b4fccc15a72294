#ifndef SCENARIO_MODEL_PLAN_RUNS_H_
#define SCENARIO_MODEL_PLAN_RUNS_H_

// The plan of a line is laid metre by metre, each metre from the two
// before it. A run is a stretch of metres laid the same way: straight on,
// or turning by the same angle per metre. The grid either lays a run's
// coordinates at once or keeps the run and lets its file's encoder walk
// it; both walk it here, so both give the same bits.

#include <cstdint>
#include <optional>

namespace scenario {

struct PlanRun {
  std::int64_t first = 0;
  std::int64_t last = 0;
  // Radians per metre (negative: left); none for straight on.
  std::optional<double> turn;
};

// The two metres before the next one to lay.
struct PlanPoints {
  double x0 = 0, y0 = 0;  // metre m - 2
  double x1 = 0, y1 = 0;  // metre m - 1
};

// Lays metres run.first to run.last from *p, calling emit(m, x, y) for
// each, and leaves the last two of them in *p.
template <typename Emit>
void WalkPlanRun(const PlanRun& run, PlanPoints* p, Emit&& emit) {
  double x0 = p->x0, y0 = p->y0, x1 = p->x1, y1 = p->y1;
  if (!run.turn) {
    for (std::int64_t m = run.first; m <= run.last; ++m) {
      const double dx = x1 - x0, dy = y1 - y0;
      const double x = x1 + dx, y = y1 + dy;
      emit(m, x, y);
      x0 = x1, y0 = y1, x1 = x, y1 = y;
    }
  } else {
    // Deliberate: the step is not scaled back to one metre, so each curve
    // metre is sqrt(1 + k * k) times longer than the one before; stored
    // plans depend on it.
    const double k = *run.turn;
    for (std::int64_t m = run.first; m <= run.last; ++m) {
      const double dx = x1 - x0, dy = y1 - y0;
      const double x = x1 + (dx + k * dy), y = y1 + (dy - k * dx);
      emit(m, x, y);
      x0 = x1, y0 = y1, x1 = x, y1 = y;
    }
  }
  *p = {x0, y0, x1, y1};
}

}  // namespace scenario

#endif  // SCENARIO_MODEL_PLAN_RUNS_H_
