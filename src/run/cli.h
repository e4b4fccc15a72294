#ifndef SCENARIO_RUN_CLI_H_
#define SCENARIO_RUN_CLI_H_

namespace scenario {

// Runs the program for its command line; returns the exit status.
int RunCommandLine(int argc, char** argv);

}  // namespace scenario

#endif  // SCENARIO_RUN_CLI_H_
