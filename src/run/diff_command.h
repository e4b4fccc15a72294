#ifndef SCENARIO_RUN_DIFF_COMMAND_H_
#define SCENARIO_RUN_DIFF_COMMAND_H_

#include <iosfwd>

#include "run/cli.h"

namespace scenario {

// diff: finds, reads and compares two compiled scenarios. Exit status
// kExitOk when they are the same, kExitFindings when they differ, or
// kExitNothing with the reason on err.
int RunDiffCommand(const CommandLine& c, std::ostream& out, std::ostream& err);

}  // namespace scenario

#endif  // SCENARIO_RUN_DIFF_COMMAND_H_
