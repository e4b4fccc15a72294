#ifndef SCENARIO_TOOLS_DECOMPILE_MOUNTAINS_H_
#define SCENARIO_TOOLS_DECOMPILE_MOUNTAINS_H_

// The mountain-side rows of a line description recovered from the cells'
// mountain bytes and their mountain-side marks (kind 11).
//
// Each run of cells with one non-zero mountain byte becomes one stretch,
// from the first metre of its first cell to the first metre after its
// last, marked when its marks fall on every 4th cell of it. Marks that no
// such stretch gives (left by a stretch that a later one partly
// overwrote) are written first, by type-3 stretches with marks that the
// runs' rows then overwrite. A stretch that begins at most 150 m after the
// row before it ends becomes type 3 in the compile; where that would
// change a type, a stretch with no cell is written in between.
//
// A mark is wanted where the cell holds one; a cell that holds another
// item (a board, a signal, a stop) may have lost a mark and takes either.

#include <vector>

#include "model/track_cells.h"
#include "tools/recovered_rows.h"

namespace scenario {

// Appends the mountain-side rows, in the order they are to be read, and
// their notes to *line.
void RecoverMountainRows(const std::vector<TrackCell>& cells,
                         RecoveredDescription* line);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_DECOMPILE_MOUNTAINS_H_
