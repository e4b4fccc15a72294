#include "run/diff_command.h"

#include <ostream>

#include "base/exit_status.h"
#include "run/program_name.h"
#include "tools/decompile_line.h"
#include "tools/decompile_train.h"
#include "tools/diff_report.h"
#include "tools/row_diff.h"
#include "tools/row_diff_report.h"
#include "tools/scenario_diff.h"
#include "tools/scenario_files.h"

namespace scenario {

namespace {

const char* SideName(int side) { return side == 0 ? "old" : "new"; }

int DiffCells(const DiffCommandOptions& options, const LoadedScenario* loaded,
              std::ostream& out) {
  DiffSide views[2];
  for (int i = 0; i < 2; ++i) {
    views[i].cells = &loaded[i].cells;
    views[i].table = &loaded[i].table;
    views[i].grid = loaded[i].grid.exists() ? &loaded[i].grid : nullptr;
  }
  const ScenarioDiff diff = DiffScenarios(views[0], views[1]);
  out << (options.json ? FormatDiffJson(diff) : FormatDiffText(diff));
  return diff.empty() ? kExitOk : kExitFindings;
}

int DiffRecoveredRows(const DiffCommandOptions& options,
                      const LoadedScenario* loaded, std::ostream& out,
                      std::ostream& err) {
  RecoveredDescription line[2];
  RecoveredDescription train[2];
  for (int i = 0; i < 2; ++i) {
    Status s = RecoverLineRows(loaded[i], &line[i]);
    if (s.ok()) s = RecoverTrainRows(loaded[i], &train[i]);
    if (!s.ok()) {
      err << kProgramName << ": " << SideName(i)
          << " scenario: its rows cannot be recovered: " << s.message() << '\n';
      return kExitNothing;
    }
  }
  const RowDiff diff = DiffRows({&line[0], &train[0]}, {&line[1], &train[1]});
  out << (options.json ? FormatRowDiffJson(diff) : FormatRowDiffText(diff));
  return diff.empty() ? kExitOk : kExitFindings;
}

}  // namespace

int RunDiffCommand(const DiffCommandOptions& options, FileSystem& fs,
                   std::ostream& out, std::ostream& err) {
  PlotOptions sides[2];
  if (!SplitDiffInputs(options.inputs, &sides[0].inputs, &sides[1].inputs)) {
    err << kProgramName
        << ": diff takes two scenarios: two folders (or parameter files), or "
           "the files of the old scenario and then as many of the new\n";
    return kExitNothing;
  }
  LoadedScenario loaded[2];
  for (int i = 0; i < 2; ++i) {
    ScenarioFileSet files;
    Status s = FindScenarioFiles(sides[i], fs, &files);
    if (s.ok()) s = LoadScenarioFiles(files, fs, &loaded[i]);
    if (!s.ok()) {
      err << kProgramName << ": " << SideName(i) << " scenario: " << s.message()
          << '\n';
      return kExitNothing;
    }
  }
  return options.rows ? DiffRecoveredRows(options, loaded, out, err)
                      : DiffCells(options, loaded, out);
}

}  // namespace scenario
