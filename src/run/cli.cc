#include "run/cli.h"

#include <iostream>
#include <string>
#include <string_view>

#include "run/file_access.h"
#include "run/file_names.h"
#include "run/run_sequence.h"

namespace scenario {

int RunCommandLine(int argc, char** argv) {
  // The built-in run shows the waiting window when a display opens;
  // --no-window keeps it headless.
  WindowChoice window = WindowChoice::kIfDisplay;
  if (argc == 2 && std::string_view(argv[1]) == "--no-window") {
    window = WindowChoice::kHeadless;
  } else if (argc > 1) {
    std::cerr << "usage: " << argv[0]
              << " [--no-window]\n  (compiles the built-in scenario into the "
                 "program's folder)\n";
    return 2;
  }
  std::string folder;
  Status status = ApplicationPath(&folder);
  if (!status.ok()) {
    std::cerr << status.message() << '\n';
    return kExitFailed;
  }
  return RunBuiltinScenario(RealFileSystem(), folder, std::cerr, window);
}

}  // namespace scenario
