#ifndef SCENARIO_LINE_LINE_READER_H_
#define SCENARIO_LINE_LINE_READER_H_

#include <cstdint>

#include "model/scenario.h"

namespace scenario {

class FieldReader;

// What the line reader hands over to the train reader.
struct LineHandover {
  // False when the line reader ended the stage (a line stop): the train
  // reader then does not run and the train file is neither read nor
  // deleted.
  bool train_reader_runs = false;
  // The board slot counter: 80 minus the number of indicator boards.
  std::int32_t board_slot = 80;
};

// The first half of memorizza_dati: reads the line description from its
// first byte into s (cells, grid, slots 80 down, 81 to 86), runs the closing
// steps, and says whether the train reader runs. Records codes in s.errors;
// throws Fault on a fault (the caller's handler records code 25).
// REQUIRES: the line file exists (code 101 is the caller's), slots 85 and
// 86 hold the names, write_line_file is set.
LineHandover ReadLineDescription(Scenario& s, FieldReader& fields);

}  // namespace scenario

#endif  // SCENARIO_LINE_LINE_READER_H_
