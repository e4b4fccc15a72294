#ifndef SCENARIO_PACK_PACK_BUILD_H_
#define SCENARIO_PACK_PACK_BUILD_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "pack/pack_discovery.h"

namespace scenario {

// The folders have no trailing separator; "" is the root folder (see
// PackPath).
struct PackOptions {
  std::string pack;     // the pack's folder
  std::string output;   // the output folder; the same layout as the pack's
  int jobs = 1;         // threads compiling pairs; at least 1
  bool grid = true;     // build and write the grids
  bool force = false;   // compile every pair, up to date or not
  std::string version;  // the program's version, kept in the build record
};

enum class ScenarioState {
  kBuilt,           // compiled and written (codes may be recorded)
  kUpToDate,        // skipped: its files are as the last build left them
  kNothingWritten,  // compiled, but no file written (a fatal end, a failed
                    // write)
  kNotBuilt,        // not compiled: a train the pack's plan reports, or
                    // one whose output folder cannot be made
};

// One row of the summary.
struct ScenarioRow {
  std::string scenario;    // as PackPair::scenario
  std::string train_file;  // relative to the pack
  ScenarioState state = ScenarioState::kBuilt;
  std::vector<std::int32_t> codes;  // every code recorded, in order
  std::string first_diagnostic;     // the first code, as compile prints it
  // The warnings the lint finds for the pair (those `compile` shows), kept
  // in the build record for a pair up to date; none when not compiled.
  std::optional<int> warnings;
  std::vector<std::string> written;  // output paths written
  std::string problem;  // why nothing was written, or why not compiled
  double seconds = 0;
};

// Told of the progress, from the compiling threads, one call at a time.
class PackObserver {
 public:
  virtual ~PackObserver() = default;
  // done counts the pairs compiled so far, of total to compile.
  virtual void Started(const std::string& scenario, int done, int total) = 0;
  virtual void Finished(const ScenarioRow& row, int done, int total) = 0;
};

struct PackOutcome {
  std::vector<ScenarioRow> rows;      // every train of the pack, in file order
  std::vector<std::string> troubles;  // failures outside the scenarios
  double seconds = 0;                 // wall time
  int grids_written = 0;
};

// Compiles every pair of the plan into options.output, each line's state
// and grid computed once for all its trains, pairs on options.jobs threads.
// Every file is reached through fs (and replaced whole); no two pairs write
// one file (the plan sees to it). The output folders are made first: the
// pairs of one that cannot be made are not compiled, and its failure is a
// trouble. The trains the plan reports become kNotBuilt rows too.
// observer may be null.
// REQUIRES: fs may be used from options.jobs threads at once.
PackOutcome BuildPack(const PackPlan& plan, const PackOptions& options,
                      FileSystem& fs, PackObserver* observer);

}  // namespace scenario

#endif  // SCENARIO_PACK_PACK_BUILD_H_
