#ifndef SCENARIO_RUN_INSPECT_COMMAND_H_
#define SCENARIO_RUN_INSPECT_COMMAND_H_

#include <iosfwd>
#include <string>

#include "tools/inspect.h"

namespace scenario {

class FileSystem;

// What inspect was asked to do.
struct InspectCommandOptions {
  std::string file;
  std::string as;  // the file's kind: "", "cells", "params" or "grid"
  // The listing's form; its parameter table is found beside a cell file.
  InspectOptions view;
};

// inspect: a binary file decoded into a listing or JSON on out. Its kind
// comes from --as or else from its name; kExitNothing, with the reason on
// err, when neither tells it, or the file cannot be read or decoded.
int RunInspectCommand(const InspectCommandOptions& options, FileSystem& fs,
                      std::ostream& out, std::ostream& err);

}  // namespace scenario

#endif  // SCENARIO_RUN_INSPECT_COMMAND_H_
