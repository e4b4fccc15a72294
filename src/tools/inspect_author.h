#ifndef SCENARIO_TOOLS_INSPECT_AUTHOR_H_
#define SCENARIO_TOOLS_INSPECT_AUTHOR_H_

#include <string>
#include <vector>

#include "model/param_table.h"
#include "model/track_cells.h"

namespace scenario {

// The author's view of a compiled cell file: every item by name at its
// position in metres and its kilometre reading, its fields named and
// decoded, and where the gradient (per mille), the speed limit (km/h), the
// adhesion and the mountain side change. params, when given, is the
// scenario's parameter file: it gives the kilometre readings, the names of
// the stations behind the stop marks and the texts of the indicator
// boards. all: every cell, also those where nothing stands or changes.
std::string RenderCellsForAuthors(const std::vector<TrackCell>& cells,
                                  const ParamTable* params, bool json,
                                  bool all);

// The author's view of a parameter file: names, general values, the
// signal repetition, the kilometre records, the stations with their
// positions, stretches and times, and the indicator boards' texts.
std::string RenderParamsForAuthors(const ParamTable& table, bool json);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_INSPECT_AUTHOR_H_
