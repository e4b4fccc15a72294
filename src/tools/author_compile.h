#ifndef SCENARIO_TOOLS_AUTHOR_COMPILE_H_
#define SCENARIO_TOOLS_AUTHOR_COMPILE_H_

// A compile of an author's own pair of descriptions, as compile, check,
// lint and watch run it: the inputs are never deleted or changed, the
// scenario is named after the files (or as asked), and nothing is written
// unless both inputs can be read and the names give files apart from them.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "lint/lint.h"
#include "model/scenario.h"

namespace scenario {

class FileSystem;

// Which warnings a compile of an author's pair finds and reports, and
// what they count for. compile, check and watch take these options alike;
// warnings are shown unless hidden, as a compiler shows its own.
struct WarningOptions {
  bool shown = true;                 // find and report warnings
  bool werror = false;               // warnings count like codes for the status
  std::vector<std::string> no_warn;  // warning kinds left out, by name
};

// What an author asks of a compile.
struct AuthorCompileOptions {
  std::string line_file;
  std::string train_file;
  // UTF-8; absent: from the description file's name.
  std::optional<std::string> line_name;
  std::optional<std::string> train_name;
  std::string output = ".";  // the folder of the binary files
  bool write = true;         // false: a check that writes nothing
  bool no_grid = false;      // no line grid built or written
  bool summary = false;      // count what was read (a check's summary)
  WarningOptions warnings;
};

// A compile that ran, and what came of it.
struct AuthorCompile {
  Scenario scenario;  // the codes recorded are in scenario.errors
  // The compile's result; its warnings when shown (else none); its
  // read summary when asked for.
  LintReport report;
  // kExitOk when the files were written (or checked) clean, kExitFindings
  // with codes (or warnings under werror), kExitNothing when the compile
  // ended before writing.
  int exit_status = 0;

  std::size_t codes() const { return scenario.errors.diagnostics.size(); }
  std::size_t warnings() const { return report.warnings.size(); }
};

// Checks that both descriptions are readable normal files, names the
// scenario, and, when writing, creates the output folder and makes sure no
// output file is an input; then compiles into *compile. A name taken from
// a file name off the naming rule adds a note to *notes (the output files
// are named after it). Fails, with a message for the author, when nothing
// was compiled.
// REQUIRES: *compile is as constructed.
Status CompileAuthorPair(const AuthorCompileOptions& options, FileSystem& fs,
                         AuthorCompile* compile,
                         std::vector<std::string>* notes);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_AUTHOR_COMPILE_H_
