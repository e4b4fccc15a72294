#ifndef SCENARIO_LINT_LINT_H_
#define SCENARIO_LINT_LINT_H_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "compile/compile_stage.h"
#include "line/read_log.h"
#include "lint/warnings.h"
#include "model/scenario.h"

namespace scenario {

struct LintOptions {
  // Kinds not to report (an author's --no-warn).
  WarningKindSet disabled;
};

// What was read, counted, so that a dropped row shows as a wrong count.
struct ReadSummary {
  // Rows handled by the readers, by kind (a keyword read as two rows
  // counts in both).
  std::array<int, kRowKindCount> rows{};
  // The line's length in metres (slot 84), 0 when none was read.
  std::int32_t line_length = 0;
  // The stretch between the first and the last station, in metres; equal
  // when there is at most one station.
  std::int32_t first_station = 0;
  std::int32_t last_station = 0;

  int count(RowKind kind) const { return rows[static_cast<int>(kind)]; }
};

// The outcome of compiling or checking a pair with warnings.
struct LintReport {
  CompileResult result;  // as memorizza_percorso gives it
  // In the order of the files (line, then train), then of line and column.
  std::vector<Warning> warnings;
  ReadSummary summary;
};

// Compiles (or, with files.write_outputs false, checks) a pair exactly as
// memorizza_percorso does, and finds the warnings beside it: s, the codes
// in s.errors and every byte written are the same as without warnings.
// files.line_log and files.train_log are replaced by the function's own.
LintReport CompileAndLint(Scenario& s, std::int32_t j, FileSystem& fs,
                          CompileFiles files, const LintOptions& options = {});

// The warnings of a pair already compiled with read logs attached (for
// callers that run the stage in their own way). The logs' open rows are
// closed first. A log whose reader never ran may be empty.
std::vector<Warning> FindWarnings(const Scenario& s, ReadLog& line_log,
                                  ReadLog& train_log,
                                  const LintOptions& options = {});
ReadSummary SummarizeRead(const Scenario& s, const ReadLog& line_log,
                          const ReadLog& train_log);

// The summary as one line of English, e.g. "read 8 general rows, 101
// curves, ... over 185700 m; stations from 0 m to 184600 m".
std::string DescribeSummary(const ReadSummary& summary);

}  // namespace scenario

#endif  // SCENARIO_LINT_LINT_H_
