#include "tools/decompile.h"

#include "tools/decompile_line.h"
#include "tools/decompile_train.h"
#include "tools/recovered_text.h"
#include "tools/round_trip_check.h"

namespace scenario {

Status Decompile(const LoadedScenario& loaded, Decompiled* out) {
  Status status = RecoverLineRows(loaded, &out->line);
  if (!status.ok()) return status;
  status = RecoverTrainRows(loaded, &out->train);
  if (!status.ok()) return status;
  out->line_text = LineDescriptionText(out->line);
  out->train_text = TrainDescriptionText(out->train);
  CheckRoundTrip(loaded, out);
  return Status::Ok();
}

}  // namespace scenario
