#include "tools/decompile_plan.h"

#include <bit>
#include <cassert>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "line/read_log.h"
#include "model/grid_image_view.h"
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

// Whether laying a metre from *p by step gives the metre's coordinates
// x and y, bit for bit. The metre is laid by the very walk the compile
// lays it with.
inline bool Gives(const GridMetre& metre, const PlanPoints& p,
                  const PlanStep& step) {
  PlanPoints q = p;
  bool same = false;
  WalkPlanRun(PlanRun{0, 0, step.Turn()}, &q,
              [&](std::int64_t, double x, double y) {
                same = SameBits(x, metre.x) && SameBits(y, metre.y);
              });
  return same;
}

// The step that gives the metre: the one of the metre before when it does
// (runs are long), else straight on, else each curve in turn.
std::optional<PlanStep> FindStep(const GridMetre& metre, const PlanPoints& p,
                                 const PlanStep& before) {
  if (Gives(metre, p, before)) return before;
  if (before.curve_class != 0 && Gives(metre, p, PlanStep{})) {
    return PlanStep{};
  }
  for (int c = 1; c <= kClassCount; ++c) {
    for (bool left : {false, true}) {
      const PlanStep step{c, left};
      if (step != before && Gives(metre, p, step)) return step;
    }
  }
  return std::nullopt;
}

std::string Metre(std::int64_t m) { return "metre " + std::to_string(m); }

Status WrongSize(std::int64_t metres, std::int64_t extended_length) {
  return Status::Error(
      "the line grid has " + std::to_string(metres) +
      " metres, but a line of that length is laid over " +
      std::to_string(extended_length + 1) +
      " (its length + 7000 m, and metre 0): the grid belongs to another "
      "line");
}

// The seed metres: integers (0, 0) and (0, 1) at metres 0 and 1, where
// every compiled plan starts.
Status CheckSeeds(const GridImageView& grid, GridMetreCursor* cursor) {
  bool seeds = grid.size() >= 2;
  for (int m = 0; m < 2 && seeds; ++m) {
    const GridMetre metre = cursor->Next();
    seeds = metre.tag == GridTag::kInt16 && metre.x == 0 && metre.y == m;
  }
  if (seeds) return Status::Ok();
  return Status::Error(
      "the line grid does not start at (0, 0) and (0, 1) as whole numbers, "
      "where every compiled plan starts");
}

// The metres from the plan's end m on (tag is metre m's, already read):
// all empty, as the compile leaves them.
Status CheckEmptyFrom(std::int64_t m, GridTag tag, const GridImageView& grid,
                      GridMetreCursor* cursor) {
  while (tag == GridTag::kEmpty) {
    if (++m == grid.size()) return Status::Ok();
    tag = cursor->Next().tag;
  }
  return Status::Error("the line grid's " + Metre(m) +
                       " follows an empty metre but is not empty: a "
                       "compiled plan has no gap");
}

// Walks the plan from metre 2 in one pass: the doubles from there are
// the laid metres (*laid_end is the first that is not one), each given
// by some step from the two before it; the metres after them are empty.
Status FindCurveRuns(const GridImageView& grid, GridMetreCursor* cursor,
                     std::vector<CurveRun>* runs, std::int64_t* laid_end) {
  PlanPoints p{0, 0, 0, 1};
  PlanStep before;
  Status step_error = Status::Ok();
  std::int64_t m = 2;
  for (; m < grid.size(); ++m) {
    const GridMetre metre = cursor->Next();
    if (metre.tag != GridTag::kDouble) {
      *laid_end = m;
      const Status gap = CheckEmptyFrom(m, metre.tag, grid, cursor);
      return gap.ok() ? step_error : gap;
    }
    if (!step_error.ok()) continue;
    // Most metres continue the step before: that test stays inline.
    const std::optional<PlanStep> step =
        Gives(metre, p, before) ? before : FindStep(metre, p, before);
    if (!step) {
      // A gap further on is the graver fault: the walk goes on for it.
      step_error = Status::Error(
          "the line grid's " + Metre(m) +
          " follows from the two metres before it by no straight or curved "
          "step of any class: no line description lays that plan");
      continue;
    }
    if (step->curve_class != 0) {
      if (!runs->empty() && runs->back().last == m - 1 &&
          runs->back().step == *step) {
        runs->back().last = m;
      } else {
        runs->push_back({m, m, *step});
      }
    }
    p = {p.x1, p.y1, metre.x, metre.y};
    before = *step;
  }
  *laid_end = m;
  return step_error;
}

}  // namespace

Status RecoverCurveRows(const GridImageView& grid, std::int64_t extended_length,
                        RecoveredDescription* line) {
  if (grid.size() != extended_length + 1) {
    return WrongSize(grid.size(), extended_length);
  }
  GridMetreCursor cursor = grid.Begin();
  Status status = CheckSeeds(grid, &cursor);
  if (!status.ok()) return status;
  std::vector<CurveRun> runs;
  std::int64_t laid_end = 0;
  status = FindCurveRuns(grid, &cursor, &runs, &laid_end);
  if (!status.ok()) return status;

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
