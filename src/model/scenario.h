#ifndef SCENARIO_MODEL_SCENARIO_H_
#define SCENARIO_MODEL_SCENARIO_H_

#include <cstdint>
#include <string>

#include "model/cell_origins.h"
#include "model/errors.h"
#include "model/line_grid.h"
#include "model/param_table.h"
#include "model/track_cells.h"

namespace scenario {

// All state of one compile: the names, the compiled model and the error
// registers. The readers and placement routines write into it; the compile
// stage post-processes, stamps and writes it.
struct Scenario {
  // The two names, as Windows-1252 bytes; every file name is formed from
  // them.
  std::string line_name;
  std::string train_name;

  TrackCells track_cells;
  // Which row put each item, for diagnostics about taken cells.
  CellOrigins cell_origins;
  ParamTable param_table;
  LineGrid line_grid;

  // Copy of memorizza_percorso's j: non-zero builds and writes the grid.
  std::int32_t write_line_file = 0;
  // True when the grid is built only to be written or counted (a compile
  // or a check): it keeps the runs of its plan, whose coordinates the
  // file's encoder lays as it writes. False: the line reader lays every
  // coordinate into the grid.
  bool keep_plan_runs = false;
  // Line length + 7000 m, and extended_length / 50 rounded. Both 0 until
  // the length row has been read.
  std::int32_t extended_length = 0;
  std::int32_t last_cell = 0;

  ErrorRegisters errors;

  // The field last read in keyword position, shared by the two readers.
  std::string current_field;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_SCENARIO_H_
