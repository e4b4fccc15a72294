#ifndef SCENARIO_TRAIN_TRAIN_KEYWORDS_H_
#define SCENARIO_TRAIN_TRAIN_KEYWORDS_H_

#include <string_view>

#include "line/read_log.h"

namespace scenario {

// The keyword tests of the train description, the one place they are
// written: substring tests ignoring letter case, made independently on
// the same field. A field may pass several and is then read as each of
// those rows in turn, in the order of RowKind.
RowKindSet TrainRowKinds(std::string_view field);

// Whether a field is the train description's start, "[generale]" in any
// case; everything before it is passed over.
bool IsTrainGeneralHeader(std::string_view field);

// Dash fields (IsDashField) in keyword position passed over in a row
// before the next one is tested.
inline constexpr int kTrainDashSkips = 2;

}  // namespace scenario

#endif  // SCENARIO_TRAIN_TRAIN_KEYWORDS_H_
