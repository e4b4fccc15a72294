#ifndef SCENARIO_TOOLS_DECOMPILE_LINE_H_
#define SCENARIO_TOOLS_DECOMPILE_LINE_H_

// The line description's rows recovered from a compiled scenario: the
// general rows from slots 81 to 86, gradients and mountain-side stretches
// from the cells' line bytes, maximum-speed and indicator boards from
// their cells (the boards' texts from their slots), curves from the
// grid's plan.

#include "base/status.h"
#include "tools/recovered_rows.h"

namespace scenario {

struct LoadedScenario;

// Recovers the rows whose compile gives back the line's share of the
// files: the line's cell bytes (gradient, mountain), the kinds 6, 11 and
// 14, slots 67 to 86 as the line reader fills them, and the grid when
// the scenario has one, decoded or kept (HasGrid; without a grid, no curve
// row is recovered and a note says so). Fails, writing nothing to *line, with a
// message for an author when the files hold what no line description compiles
// to.
Status RecoverLineRows(const LoadedScenario& loaded,
                       RecoveredDescription* line);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_DECOMPILE_LINE_H_
