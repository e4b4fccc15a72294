#ifndef SCENARIO_TOOLS_COMPILE_REPORT_H_
#define SCENARIO_TOOLS_COMPILE_REPORT_H_

// What compile, check and lint report of an author's compile: one JSON
// object, or the diagnostics and warnings in the usual compiler form.

#include <string>

#include "tools/author_compile.h"

namespace scenario {

class FileSystem;

// The compile as one JSON object, with a line end: the recorded codes
// with the rows they point at, how the compile ended, the files written,
// the warnings (unless hidden: options.warnings.shown) and the read summary
// (when options.summary). The rows are read through fs.
std::string CompileReportJson(const AuthorCompileOptions& options,
                              const AuthorCompile& compile, FileSystem& fs);

// Each recorded code, then each warning, on a line of its own in the
// compiler form; a warning that a file is in another encoding comes
// first, as the cause of the codes after it; with show_source, the row it
// points at follows with a caret under the column. A code with no place in a
// file is put in the file it belongs to: the kilometre records come from the
// line, the rest from the train's rows.
std::string CompileFindingsText(const AuthorCompileOptions& options,
                                const AuthorCompile& compile, FileSystem& fs,
                                bool show_source);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_COMPILE_REPORT_H_
