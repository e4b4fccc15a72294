#ifndef SCENARIO_TOOLS_SCENARIO_DECOMPILE_H_
#define SCENARIO_TOOLS_SCENARIO_DECOMPILE_H_

// decompile as a command runs it: find and load a compiled scenario,
// recover its two descriptions, write them where export would (never over
// an existing file unless forced), and report what was chosen and whether
// the written descriptions compile back to the same bytes.

#include <string>
#include <vector>

#include "base/status.h"
#include "tools/decompile.h"
#include "tools/scenario_files.h"

namespace scenario {

class FileSystem;

struct DecompileOptions {
  // The scenario as plot takes it: inputs (a folder, or the .sim, .dat
  // and _linea.dat files) and the names that single it out in a folder.
  // Its output, format and range are not used.
  PlotOptions scenario;
  std::string output = ".";  // the folder of the descriptions
  // Replace descriptions of the same names already in the folder: without
  // it they are taken for an author's own and nothing is written.
  bool force = false;
};

struct DecompileOutcome {
  ScenarioFileSet files;
  Decompiled decompiled;
  // The line description's path, then the train description's.
  std::vector<std::string> written;
  // decompiled.difference with its file given by the input's path (the
  // role when the compile of the descriptions wrote no file at all).
  RoundTripDifference difference;
};

// Finds, loads and decompiles the scenario, then writes
// "<line>_linea.txt" and "<line>_<train>-.txt" (export's names) into the
// output folder, creating it. Fails, with a message for an author and
// nothing written, when the files cannot be found, read or decoded, when
// decompile refuses them, or when a description of the same name is there
// and options.force is not set. The round trip's outcome is in
// outcome->decompiled.same_bytes; the files are written either way.
Status RunDecompile(const DecompileOptions& options, FileSystem& fs,
                    DecompileOutcome* outcome);

// One note as an author reads it: "gradient at 1250 m: <text>", or
// "<kind>: <text>" for a note about a kind as a whole.
std::string NoteLine(const RecoveryNote& note);

// Why the round trip failed, as one sentence: "the descriptions written do
// not compile to the same files: <file> differs first at byte <offset>:
// <what>".
std::string RoundTripMessage(const DecompileOutcome& outcome);

// The outcome as one JSON object: the files written, the notes of each
// description and the round trip ("same": true, or the first difference).
std::string FormatDecompileJson(const DecompileOutcome& outcome);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_SCENARIO_DECOMPILE_H_
