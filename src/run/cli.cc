#include "run/cli.h"

#include <iostream>
#include <string>

#include "run/file_access.h"
#include "run/file_names.h"
#include "run/run_sequence.h"

namespace scenario {

int RunCommandLine(int argc, char** argv) {
  if (argc > 1) {
    std::cerr << "usage: " << argv[0]
              << "\n  (no arguments: compile the built-in scenario into the "
                 "program's folder)\n";
    return 2;
  }
  std::string folder;
  Status status = ApplicationPath(&folder);
  if (!status.ok()) {
    std::cerr << status.message() << '\n';
    return kExitFailed;
  }
  return RunBuiltinScenario(RealFileSystem(), folder, std::cerr);
}

}  // namespace scenario
