#include "model/param_table.h"

#include <string>

#include "model/errors.h"

namespace scenario {

void ParamTable::Reset() {
  for (ParamSlot& slot : slots_) slot = ParamSlot{};
}

ParamSlot& ParamTable::At(std::int64_t slot) {
  if (slot < 0 || slot >= kParamSlotCount) {
    throw Fault("parameter slot " + std::to_string(slot) +
                " lies outside the table (0 to 86)");
  }
  return slots_[slot];
}

}  // namespace scenario
