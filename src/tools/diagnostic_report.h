#ifndef SCENARIO_TOOLS_DIAGNOSTIC_REPORT_H_
#define SCENARIO_TOOLS_DIAGNOSTIC_REPORT_H_

#include <map>
#include <optional>
#include <string>

#include "base/file_system.h"
#include "lint/warnings.h"
#include "model/diagnostics.h"
#include "model/param_table.h"

namespace scenario {

// One diagnostic in the usual compiler form:
//   FILE:LINE:COLUMN: error CODE: explanation (at POSITION m, km K+MMM)
//   (try: scenario-compiler explain CODE)
// on one line, its control characters escaped (a file name or a quoted
// field may hold any byte). FILE alone when the code has no place in a file
// (fallback_file names the file then, e.g. the train description for the
// post-pass codes). The kilometre reading is added where the line's
// kilometre records give one.
std::string FormatDiagnostic(const Diagnostic& d, const ParamTable& table,
                             const std::string& fallback_file);

// One warning in the same form:
//   FILE:LINE:COLUMN: warning NAME: explanation (at POSITION m, km K+MMM)
//   (try: scenario-compiler explain NAME)
std::string FormatWarning(const Warning& w, const ParamTable& table);

// The rows that diagnostics point at, read from the description files
// once each (an author's files are never changed by a compile).
class SourceRows {
 public:
  explicit SourceRows(FileSystem& fs) : fs_(fs) {}

  // The Windows-1252 row at where's line; nullopt when where names no
  // line or the file cannot be read or has no such line.
  std::optional<std::string> Row(const SourceSpot& where);

 private:
  FileSystem& fs_;
  std::map<std::string, std::optional<std::string>> files_;
};

}  // namespace scenario

#endif  // SCENARIO_TOOLS_DIAGNOSTIC_REPORT_H_
