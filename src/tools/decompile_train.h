#ifndef SCENARIO_TOOLS_DECOMPILE_TRAIN_H_
#define SCENARIO_TOOLS_DECOMPILE_TRAIN_H_

// The train description's rows recovered from a compiled scenario: the
// general rows from slots 84 and 86, the speed-limit and adhesion profiles
// from the cells' bytes, stations from slots 1 upward with their stop and
// approach marks, signals, slowdowns and code changes from their cells.
// The code marks the post-pass adds are the compile's own, not rows.

#include <cstdint>
#include <vector>

#include "base/status.h"
#include "tools/recovered_rows.h"

namespace scenario {

struct LoadedScenario;

// Recovers the rows whose compile, after the line's rows, gives back the
// train's share of the files: speed_step, adhesion and b11 of every cell,
// the kinds 1 to 5, 10, 12 and 13, and the slots the train reader fills.
// Fails, writing nothing to *train, with a message for an author when the
// files hold what no train description compiles to.
Status RecoverTrainRows(const LoadedScenario& loaded,
                        RecoveredDescription* train);

// The cells where a station's stop mark stands over a train item that
// RecoverTrainRows gives back (a signal, or a cell of a slowdown, read
// before the station): the words the mark left there are that item's, not
// a maximum-speed board's of the line. Empty when the train rows cannot be
// recovered.
std::vector<std::int64_t> TrainCellsUnderStopMarks(
    const LoadedScenario& loaded);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_DECOMPILE_TRAIN_H_
