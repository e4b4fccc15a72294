#ifndef SCENARIO_TRAIN_TRAIN_READER_H_
#define SCENARIO_TRAIN_TRAIN_READER_H_

#include <cstdint>

#include "model/scenario.h"

namespace scenario {

class FieldReader;

// The second half of memorizza_dati: reads the train description from its
// first byte into s (speed limits, adhesion, stations, code changes,
// signals, slowdowns), then, unless the stage ended, the closing fills and
// the kilometre-record check. Records codes in s.errors; throws Fault on a
// fault. board_slot is the line reader's hand-over.
void ReadTrainDescription(Scenario& s, FieldReader& fields,
                          std::int32_t board_slot);

}  // namespace scenario

#endif  // SCENARIO_TRAIN_TRAIN_READER_H_
