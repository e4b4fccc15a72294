#include "run/cli.h"

namespace scenario {

int RunCommandLine(int /*argc*/, char** /*argv*/) { return 0; }

}  // namespace scenario
