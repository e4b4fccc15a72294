#ifndef SCENARIO_RUN_DIFF_COMMAND_H_
#define SCENARIO_RUN_DIFF_COMMAND_H_

#include <iosfwd>
#include <string>
#include <vector>

namespace scenario {

class FileSystem;

// What diff was asked to do.
struct DiffCommandOptions {
  // The old scenario, then the new: a folder or a parameter file each, or
  // the same number of files for each.
  std::vector<std::string> inputs;
  bool json = false;  // one JSON object instead of the text
  // The rows of the two scenarios' descriptions, as decompile recovers
  // them, instead of their cells, slots and grids.
  bool rows = false;
};

// diff: finds, reads and compares two compiled scenarios, by their cells
// or (options.rows) by the rows of their descriptions. Exit status kExitOk
// when they are the same, kExitFindings when they differ, or kExitNothing
// with the reason on err: a side that does not load, or whose rows cannot
// be recovered.
int RunDiffCommand(const DiffCommandOptions& options, FileSystem& fs,
                   std::ostream& out, std::ostream& err);

}  // namespace scenario

#endif  // SCENARIO_RUN_DIFF_COMMAND_H_
