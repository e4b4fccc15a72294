#include "pack/shared_line.h"

#include <utility>

#include "compile/post_pass.h"
#include "model/grid_file.h"

namespace scenario {

SharedLine::SharedLine(std::string line_name, std::int32_t j, FileSystem& fs,
                       const std::string& line_description)
    : line_description_(line_description) {
  // memorizza_percorso's opening on a fresh state.
  state_.line_name = std::move(line_name);
  state_.write_line_file = j;
  // The grid is only written: it keeps the runs of its plan.
  state_.keep_plan_runs = true;
  state_.param_table.Reset();
  CompileFiles files;
  files.line_description = line_description;
  files.delete_descriptions = false;
  files.line_log = &line_log_;
  half_ = ReadLineHalf(state_, fs, files);
  line_log_.EndRow();
  // Nothing after the line reader reads or changes the grid, so the trains
  // need not copy it.
  grid_ = std::move(state_.line_grid);
  state_.line_grid = LineGrid();
}

Status SharedLine::WriteGrid(FileSystem& fs, const std::string& path) const {
  return fs.WriteFileReplacingPlaced(
      path, GridFileSize(grid_),
      [this](const PlacedPieceWriter& write) { EncodeGridFile(grid_, write); });
}

CompileResult SharedLine::CompileTrain(const std::string& train_name,
                                       FileSystem& fs,
                                       const CompileFiles& files,
                                       const GridWriter& write_grid,
                                       Scenario* s) const {
  *s = state_;
  s->train_name = train_name;
  // memorizza_dati copies the train name before the line half runs; the
  // line half never reads it.
  s->param_table[kTrainSlot].text = train_name;
  CompileFiles train_files = files;
  train_files.line_description = line_description_;
  train_files.delete_descriptions = false;
  ReadTrainHalf(*s, fs, train_files, half_);

  CompileResult result;
  if (!s->track_cells.exists() || !s->track_cells.Contains(1)) {
    result.end = CompileEnd::kNoCellArray;
    return result;
  }
  ApplySignalCodePass(*s);
  CompileFiles stamp_only = train_files;
  stamp_only.write_outputs = false;
  result = StampAndWrite(*s, fs, stamp_only);
  if (result.end != CompileEnd::kWritten || !files.write_outputs) {
    return result;
  }

  bool grid_written = false;
  if (s->write_line_file != 0) {
    Status status = write_grid(&grid_written);
    if (!status.ok()) {
      result.end = CompileEnd::kWriteFailed;
      result.write_status = status;
      return result;
    }
  }
  // The grid is done: the train's own files follow, in memorizza_percorso's
  // order.
  const std::int32_t j = s->write_line_file;
  s->write_line_file = 0;
  result = WriteBinaryFiles(*s, fs, train_files);
  s->write_line_file = j;
  if (grid_written) {
    result.written.insert(result.written.begin(), files.grid_file);
  }
  return result;
}

LintReport SharedLine::CompileAndLintTrain(const std::string& train_name,
                                           FileSystem& fs,
                                           const CompileFiles& files,
                                           const GridWriter& write_grid,
                                           Scenario* s,
                                           const LintOptions& options) const {
  ReadLog train_log;
  CompileFiles logged = files;
  logged.line_log = nullptr;
  logged.train_log = &train_log;
  LintReport report;
  report.result = CompileTrain(train_name, fs, logged, write_grid, s);
  // FindWarnings takes logs it may close; the shared one is already closed,
  // but other threads read it, so each train works on its own copy.
  ReadLog line_log = line_log_;
  report.warnings = FindWarnings(*s, line_log, train_log, options);
  report.summary = SummarizeRead(*s, line_log, train_log);
  return report;
}

}  // namespace scenario
