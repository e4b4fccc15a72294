#ifndef SCENARIO_TOOLS_ROUND_TRIP_CHECK_H_
#define SCENARIO_TOOLS_ROUND_TRIP_CHECK_H_

// decompile's self-check: the written descriptions compiled in memory, as
// compile would compile them under the scenario's names, and compared byte
// for byte with the files they were recovered from. Nothing is read from
// or written to a disk.

#include "tools/decompile.h"

namespace scenario {

struct LoadedScenario;

// Compiles out->line_text and out->train_text under the names of slots 85
// and 86, building the grid only when loaded has one, and sets
// out->same_bytes and, when they differ, out->difference: the first byte
// that differs (FirstImageDifference), or no file and the reason when the
// compile wrote nothing.
void CheckRoundTrip(const LoadedScenario& loaded, Decompiled* out);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_ROUND_TRIP_CHECK_H_
