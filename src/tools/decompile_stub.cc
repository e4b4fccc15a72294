// TEMPORARY until decompile lands: refuses every scenario.
#include "tools/decompile.h"

namespace scenario {

Status Decompile(const LoadedScenario&, Decompiled*) {
  return Status::Error("decompile is not there yet");
}

}  // namespace scenario
