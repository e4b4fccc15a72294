#ifndef SCENARIO_TOOLS_DECOMPILE_TRAIN_TESTING_H_
#define SCENARIO_TOOLS_DECOMPILE_TRAIN_TESTING_H_

// A plain writer of recovered train rows for the tests of their recovery:
// "[generale]", then each row as its keyword, its numbers and its text
// separated by ", ", then "[fine]", every line ended by CR LF. A text that
// the field reader would not give back unquoted is written in double
// quotes.

#include <string>

#include "tools/recovered_rows.h"

namespace scenario {

std::string TrainTextForTests(const RecoveredDescription& train);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_DECOMPILE_TRAIN_TESTING_H_
