#ifndef SCENARIO_RUN_DECOMPILE_COMMAND_H_
#define SCENARIO_RUN_DECOMPILE_COMMAND_H_

#include <iosfwd>

#include "tools/scenario_decompile.h"

namespace scenario {

class FileSystem;

// What decompile was asked to do.
struct DecompileCommandOptions {
  DecompileOptions decompile;
  bool json = false;  // one JSON object on out instead of the paths
};

// decompile: writes the line and train descriptions of a compiled
// scenario and checks that they compile to its files. On out, each path
// written (or the JSON object); on err, one "note:" line per choice the
// files left open, and why the round trip failed when it did. kExitOk when
// the descriptions compile to the same bytes, kExitFindings when they do
// not (they are written all the same), kExitNothing with the reason on err
// and nothing written when the scenario cannot be loaded or decompiled,
// or a description of the same name is there without --force.
int RunDecompileCommand(const DecompileCommandOptions& options, FileSystem& fs,
                        std::ostream& out, std::ostream& err);

}  // namespace scenario

#endif  // SCENARIO_RUN_DECOMPILE_COMMAND_H_
