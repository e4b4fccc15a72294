#ifndef SCENARIO_RUN_BUILD_COMMAND_H_
#define SCENARIO_RUN_BUILD_COMMAND_H_

#include <iosfwd>
#include <optional>
#include <string>

namespace scenario {

class FileSystem;

// What `build` was asked to do.
struct BuildCommandOptions {
  std::string pack;                   // the pack's folder
  std::optional<std::string> output;  // the output folder; the pack's if none
  int jobs = 0;                       // threads; 0: one per core
  std::string csv_file;               // the CSV summary's file; "": none
  bool force = false;                 // rebuild what is up to date
  bool grid = true;                   // --no-grid clears it
  bool json = false;                  // the summary as JSON
  bool werror = false;                // warnings count like codes
};

// build: every scenario of a pack, compiled on several threads, with a
// progress display on err and a summary on out (or JSON, or a CSV file).
// terminal says whether err is a terminal (a bar) or not (a line per
// scenario). Every file is reached through fs.
int RunBuildCommand(const BuildCommandOptions& options, FileSystem& fs,
                    std::ostream& out, std::ostream& err, bool terminal);

}  // namespace scenario

#endif  // SCENARIO_RUN_BUILD_COMMAND_H_
