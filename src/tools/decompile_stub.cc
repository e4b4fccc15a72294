// TEMPORARY until decompile lands: refuses every scenario.
#include "tools/decompile.h"
#include "tools/decompile_line.h"
#include "tools/decompile_train.h"

namespace scenario {

Status Decompile(const LoadedScenario&, Decompiled*) {
  return Status::Error("decompile is not there yet");
}

}  // namespace scenario
namespace scenario {
Status RecoverLineRows(const LoadedScenario&, RecoveredDescription*) {
  return Status::Error("not there yet");
}
Status RecoverTrainRows(const LoadedScenario&, RecoveredDescription*) {
  return Status::Error("not there yet");
}
}  // namespace scenario
