#ifndef SCENARIO_PACK_SHARED_LINE_H_
#define SCENARIO_PACK_SHARED_LINE_H_

#include <cstdint>
#include <functional>
#include <string>

#include "base/file_system.h"
#include "base/status.h"
#include "compile/compile_stage.h"
#include "line/read_log.h"
#include "lint/lint.h"
#include "model/line_grid.h"
#include "model/scenario.h"

namespace scenario {

// A line description read once, for compiling many trains over it. A train
// compiled over it gives the codes and the bytes that memorizza_percorso
// gives for the pair: the line half runs once, and every train starts from
// a copy of the state it left (the grid apart, which no train changes and
// which is written once for all of them). The line's read log is kept too,
// so that each train's warnings are those of its pair on its own.
//
// Thread safety: after construction every member is const and may be
// called from several threads at once.
class SharedLine {
 public:
  // memorizza_percorso's first steps and the line half: j non-zero builds
  // the grid. The line file is read, never deleted.
  SharedLine(std::string line_name, std::int32_t j, FileSystem& fs,
             const std::string& line_description);

  // Writes the grid file, replaced whole through fs.
  // REQUIRES: builds_grid().
  Status WriteGrid(FileSystem& fs, const std::string& path) const;
  bool builds_grid() const { return grid_.exists(); }

  // Called once a train's header places are stamped and before its first
  // write: writes the grid file, or finds it written, and says whether it
  // wrote it. A failure ends the train's writing before its own files, as a
  // failed grid write does in memorizza_percorso.
  using GridWriter = std::function<Status(bool* wrote)>;

  // Compiles the train over the line into *s: the train half (the train
  // file is never deleted), the post-pass, the header checks and stamping,
  // and, when files.write_outputs is set, the grid through write_grid (when
  // the grid is built) and the parameter and cell files. files.grid_file
  // is only reported in the result's written list when write_grid wrote.
  CompileResult CompileTrain(const std::string& train_name, FileSystem& fs,
                             const CompileFiles& files,
                             const GridWriter& write_grid, Scenario* s) const;

  // CompileTrain, and the warnings that CompileAndLint finds for the pair:
  // the line's log from the one reading joined with the train's own. The
  // files written and the codes are those of CompileTrain. files.line_log
  // and files.train_log are not used.
  LintReport CompileAndLintTrain(const std::string& train_name, FileSystem& fs,
                                 const CompileFiles& files,
                                 const GridWriter& write_grid, Scenario* s,
                                 const LintOptions& options = {}) const;

 private:
  Scenario state_;  // after the line half, without the grid
  LineGrid grid_;
  // What the line reader read, its last row closed: nothing reads the line
  // again, so closing it once here is what each train's copy would do.
  ReadLog line_log_;
  LineHalf half_;
  std::string line_description_;
};

}  // namespace scenario

#endif  // SCENARIO_PACK_SHARED_LINE_H_
