#ifndef SCENARIO_RUN_COMPILE_COMMAND_H_
#define SCENARIO_RUN_COMPILE_COMMAND_H_

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "tools/author_compile.h"

namespace scenario {

class FileSystem;

// What compile, check and lint were asked to do. check and lint write
// nothing; check also counts what was read; lint always reports warnings.
struct CompileCommandOptions {
  AuthorCompileOptions compile;
  bool json = false;       // one JSON object on out instead of the text
  bool no_source = false;  // no row and caret under each diagnostic
  bool quiet = false;      // no closing line after the files are written
};

// What one run of the command came to: its exit status, the codes
// recorded and the warnings reported, and the files written.
struct CompileCommandOutcome {
  int exit_status = 0;
  std::size_t codes = 0;
  std::size_t warnings = 0;
  std::vector<std::string> written;
};

// compile, check and lint: the compile stage on an author's own files,
// which are never deleted or changed. The diagnostics and warnings go to
// err (or the JSON object to out), check's summary to out, and how the
// compile ended to err: why nothing (or not everything) was written, or,
// once every file is written, one closing line that counts the files, the
// codes and the warnings reported (unless quiet or json).
CompileCommandOutcome CompileAndReport(const CompileCommandOptions& options,
                                       FileSystem& fs, std::ostream& out,
                                       std::ostream& err);

// CompileAndReport's exit status.
int RunCompileCommand(const CompileCommandOptions& options, FileSystem& fs,
                      std::ostream& out, std::ostream& err);

}  // namespace scenario

#endif  // SCENARIO_RUN_COMPILE_COMMAND_H_
