#include "tools/decompile_plan.h"

#include <bit>
#include <cassert>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "line/read_log.h"
#include "model/line_grid.h"
#include "model/plan_runs.h"

namespace scenario {

namespace {

// Change of heading per plan metre, in radians, of curvature classes 1-6,
// as the line reader lays them.
constexpr double kCurvature[] = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};
constexpr int kClassCount = 6;

// How one plan metre was laid: straight on (curve_class 0) or turning by
// the class's curvature, to the left when left.
struct PlanStep {
  int curve_class = 0;
  bool left = false;
  bool operator==(const PlanStep&) const = default;

  std::optional<double> Turn() const {
    if (curve_class == 0) return std::nullopt;
    const double k = kCurvature[curve_class - 1];
    return left ? -k : k;
  }
};

// A run of curve metres laid by one step, first to last.
struct CurveRun {
  std::int64_t first = 0;
  std::int64_t last = 0;
  PlanStep step;
};

bool SameBits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Whether laying metre m from *p by step gives the grid's metre m, bit for
// bit. The metre is laid by the very walk the compile lays it with.
bool Gives(const LineGrid& grid, std::int64_t m, const PlanPoints& p,
           const PlanStep& step) {
  PlanPoints q = p;
  bool same = false;
  WalkPlanRun(PlanRun{m, m, step.Turn()}, &q,
              [&](std::int64_t, double x, double y) {
                same = SameBits(x, grid.x(m)) && SameBits(y, grid.y(m));
              });
  return same;
}

// The step that gives metre m: the one of the metre before when it does
// (runs are long), else straight on, else each curve in turn.
std::optional<PlanStep> FindStep(const LineGrid& grid, std::int64_t m,
                                 const PlanPoints& p, const PlanStep& before) {
  if (Gives(grid, m, p, before)) return before;
  if (before.curve_class != 0 && Gives(grid, m, p, PlanStep{})) {
    return PlanStep{};
  }
  for (int c = 1; c <= kClassCount; ++c) {
    for (bool left : {false, true}) {
      const PlanStep step{c, left};
      if (step != before && Gives(grid, m, p, step)) return step;
    }
  }
  return std::nullopt;
}

std::string Metre(std::int64_t m) { return "metre " + std::to_string(m); }

// The seed metres and the element types: integers (0, 0) and (0, 1) at
// metres 0 and 1, doubles from 2 to *laid_end - 1, empty after. The
// compile lays at least up to extended_length - 2.
Status CheckShape(const LineGrid& grid, std::int64_t extended_length,
                  std::int64_t* laid_end) {
  if (grid.size() != extended_length + 1) {
    return Status::Error(
        "the line grid has " + std::to_string(grid.size()) +
        " metres, but a line of that length is laid over " +
        std::to_string(extended_length + 1) +
        " (its length + 7000 m, and metre 0): the grid belongs to another "
        "line");
  }
  if (grid.size() < 2 || grid.tag(0) != GridTag::kInt16 ||
      grid.tag(1) != GridTag::kInt16 || grid.x(0) != 0 || grid.y(0) != 0 ||
      grid.x(1) != 0 || grid.y(1) != 1) {
    return Status::Error(
        "the line grid does not start at (0, 0) and (0, 1) as whole numbers, "
        "where every compiled plan starts");
  }
  std::int64_t m = 2;
  while (m < grid.size() && grid.tag(m) == GridTag::kDouble) ++m;
  *laid_end = m;
  for (; m < grid.size(); ++m) {
    if (grid.tag(m) != GridTag::kEmpty) {
      return Status::Error("the line grid's " + Metre(m) +
                           " follows an empty metre but is not empty: a "
                           "compiled plan has no gap");
    }
  }
  return Status::Ok();
}

}  // namespace

Status RecoverCurveRows(const LineGrid& grid, std::int64_t extended_length,
                        RecoveredDescription* line) {
  assert(grid.exists() && grid.held() == grid.size());
  std::int64_t laid_end = 0;
  Status shape = CheckShape(grid, extended_length, &laid_end);
  if (!shape.ok()) return shape;

  std::vector<CurveRun> runs;
  PlanPoints p{grid.x(0), grid.y(0), grid.x(1), grid.y(1)};
  PlanStep before;
  for (std::int64_t m = 2; m < laid_end; ++m) {
    const std::optional<PlanStep> step = FindStep(grid, m, p, before);
    if (!step) {
      return Status::Error(
          "the line grid's " + Metre(m) +
          " follows from the two metres before it by no straight or curved "
          "step of any class: no line description lays that plan");
    }
    if (step->curve_class != 0) {
      if (!runs.empty() && runs.back().last == m - 1 &&
          runs.back().step == *step) {
        runs.back().last = m;
      } else {
        runs.push_back({m, m, *step});
      }
    }
    p = {p.x1, p.y1, grid.x(m), grid.y(m)};
    before = *step;
  }

  for (const CurveRun& run : runs) {
    RecoveredRow row;
    row.kind = RowKind::kCurve;
    row.keyword = std::string("curva") + (run.step.left ? "s" : "d") +
                  static_cast<char>('0' + run.step.curve_class);
    // The row lays straight on up to its start and turns from the metre
    // after it to start + length.
    row.numbers = {run.first - 1, run.last - run.first + 1};
    line->rows.push_back(std::move(row));
  }
  if (!runs.empty()) {
    line->notes.push_back(
        {RowKind::kCurve, -1,
         "each run of curve metres of one class and side is written as one "
         "curve row, from the metre before its first curve metre: touching "
         "curves of one class, and a curve that began before the one before "
         "it ended, read the same"});
  }
  if (laid_end < extended_length - 1) {
    line->notes.push_back(
        {RowKind::kCurve, laid_end,
         "the plan ends at " + Metre(laid_end - 1) + ", short of " +
             Metre(extended_length - 2) +
             " where a compiled plan ends: the compile stopped laying it "
             "(code 103), which the rows written do not repeat"});
  }
  return Status::Ok();
}

}  // namespace scenario
