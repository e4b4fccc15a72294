#include "run/diagnostic_report.h"

#include "model/kilometre_axis.h"

namespace scenario {

std::string FormatDiagnostic(const Diagnostic& d, const ParamTable& table,
                             const std::string& fallback_file) {
  std::string out = d.where.file.empty() ? fallback_file : d.where.file;
  if (d.where.line > 0) {
    out += ":" + std::to_string(d.where.line) + ":" +
           std::to_string(d.where.column);
  }
  out += ": error " + std::to_string(d.code) + ": " + d.message;
  if (d.position) {
    out += " (at " + std::to_string(*d.position) + " m";
    out += ", km " + FormatKilometre(KilometreAxis(table).Reading(*d.position));
    out += ")";
  }
  return out;
}

}  // namespace scenario
