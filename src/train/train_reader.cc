#include "train/train_reader.h"

#include "line/field_reader.h"

namespace scenario {

// Placeholder until the train reader lands.
void ReadTrainDescription(Scenario& /*s*/, FieldReader& /*fields*/,
                          std::int32_t /*board_slot*/) {}

}  // namespace scenario
