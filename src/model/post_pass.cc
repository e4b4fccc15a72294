#include "model/post_pass.h"

namespace scenario {

// Placeholder until the post-pass lands.
void ApplySignalCodePass(Scenario& /*s*/) {}

}  // namespace scenario
