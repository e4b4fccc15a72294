#ifndef SCENARIO_TOOLS_DECOMPILE_PLAN_H_
#define SCENARIO_TOOLS_DECOMPILE_PLAN_H_

// The curve rows of a line description recovered from its compiled plan.
// Each plan metre is laid from the two before it, straight on or turning
// by the curvature of one class; re-walking the plan and testing which
// step gives each metre bit for bit tells the curve metres, and each run
// of curve metres of one class and side becomes one curve row.

#include <cstdint>

#include "base/status.h"
#include "tools/recovered_rows.h"

namespace scenario {

class LineGrid;

// Appends the curve rows (in plan order) and their notes to *line.
// extended_length is the line's length + 7000 m. Fails, appending
// nothing, when the grid is not the one a line of that length is laid
// into: a different size, seed metres other than (0, 0) and (0, 1), a
// metre that no step of the plan gives, or element types that differ from
// the ones the compile writes.
// REQUIRES: grid.exists() and grid holds every metre (a decoded grid).
Status RecoverCurveRows(const LineGrid& grid, std::int64_t extended_length,
                        RecoveredDescription* line);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_DECOMPILE_PLAN_H_
