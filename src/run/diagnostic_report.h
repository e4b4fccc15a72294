#ifndef SCENARIO_RUN_DIAGNOSTIC_REPORT_H_
#define SCENARIO_RUN_DIAGNOSTIC_REPORT_H_

#include <string>

#include "base/diagnostics.h"
#include "base/warnings.h"
#include "model/param_table.h"

namespace scenario {

// One diagnostic in the usual compiler form:
//   FILE:LINE:COLUMN: error CODE: explanation (at POSITION m, km K+MMM)
// FILE alone when the code has no place in a file (fallback_file names the
// file then, e.g. the train description for the post-pass codes). The
// kilometre reading is added where the line's kilometre records give one.
std::string FormatDiagnostic(const Diagnostic& d, const ParamTable& table,
                             const std::string& fallback_file);

// One warning in the same form:
//   FILE:LINE:COLUMN: warning NAME: explanation (at POSITION m, km K+MMM)
std::string FormatWarning(const Warning& w, const ParamTable& table);

}  // namespace scenario

#endif  // SCENARIO_RUN_DIAGNOSTIC_REPORT_H_
