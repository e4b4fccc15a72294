#include "tools/diagnostic_report.h"

#include "base/file_system.h"
#include "base/source_excerpt.h"
#include "base/strings.h"
#include "lint/code_explanations.h"
#include "model/kilometre_axis.h"

namespace scenario {

namespace {

// " (at 1250 m, km 1+250)"
std::string PositionNote(std::int32_t position, const ParamTable& table) {
  return " (at " + std::to_string(position) + " m, km " +
         FormatKilometre(KilometreAxis(table).Reading(position)) + ")";
}

}  // namespace

std::string FormatWarning(const Warning& w, const ParamTable& table) {
  std::string out = w.where.file;
  if (w.where.line > 0) {
    out += ":" + std::to_string(w.where.line) + ":" +
           std::to_string(w.where.column);
  }
  out += ": warning " + std::string(WarningName(w.kind)) + ": " + w.text;
  if (w.position) out += PositionNote(*w.position, table);
  out += " " + ExplainHint(WarningName(w.kind));
  return PrintableName(out);
}

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
  out += " " + ExplainHint(std::to_string(d.code));
  return PrintableName(out);
}

std::optional<std::string> SourceRows::Row(const SourceSpot& where) {
  if (where.line <= 0 || where.file.empty()) return std::nullopt;
  auto it = files_.find(where.file);
  if (it == files_.end()) {
    std::string bytes;
    std::optional<std::string> file;
    if (ReadNormalFile(fs_, where.file, &bytes).ok()) file = std::move(bytes);
    it = files_.emplace(where.file, std::move(file)).first;
  }
  if (!it->second) return std::nullopt;
  const std::optional<std::string_view> row =
      SourceLine(*it->second, where.line);
  if (!row) return std::nullopt;
  return std::string(*row);
}

}  // namespace scenario
