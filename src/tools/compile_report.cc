#include "tools/compile_report.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "base/source_excerpt.h"
#include "base/windows1252.h"
#include "compile/compile_stage.h"
#include "lint/warnings.h"
#include "tools/diagnostic_report.h"

namespace scenario {
namespace {

using nlohmann::json;

// The row as the file holds it, in UTF-8; null without a row.
json SourceJson(SourceRows& rows, const SourceSpot& where) {
  const std::optional<std::string> row = rows.Row(where);
  return row ? json(Windows1252ToUtf8(*row)) : json(nullptr);
}

json DiagnosticsJson(const Scenario& s, SourceRows& rows) {
  json list = json::array();
  for (const Diagnostic& d : s.errors.diagnostics) {
    json entry = {{"code", d.code},
                  {"file", d.where.file},
                  {"line", d.where.line},
                  {"column", d.where.column},
                  {"message", d.message}};
    entry["position"] = d.position ? json(*d.position) : json(nullptr);
    entry["source"] = SourceJson(rows, d.where);
    list.push_back(entry);
  }
  return list;
}

json WarningsJson(const std::vector<Warning>& warnings, SourceRows& rows) {
  json list = json::array();
  for (const Warning& w : warnings) {
    json entry = {{"name", WarningName(w.kind)},
                  {"file", w.where.file},
                  {"line", w.where.line},
                  {"column", w.where.column},
                  {"message", w.text}};
    entry["position"] = w.position ? json(*w.position) : json(nullptr);
    entry["source"] = SourceJson(rows, w.where);
    if (w.other) {
      entry["other"] = {{"file", w.other->file},
                        {"line", w.other->line},
                        {"column", w.other->column}};
    }
    list.push_back(entry);
  }
  return list;
}

json SummaryJson(const ReadSummary& summary) {
  json rows = json::object();
  for (int k = 0; k < kRowKindCount; ++k) {
    rows[std::string(RowKindName(static_cast<RowKind>(k)))] = summary.rows[k];
  }
  return {{"rows", rows},
          {"line_length", summary.line_length},
          {"first_station", summary.first_station},
          {"last_station", summary.last_station},
          {"text", DescribeSummary(summary)}};
}

// How the compile ended, and the write's failure when that ended it.
void AddEnd(const CompileResult& result, bool write, json* doc) {
  // The header checks end the compile without recording a code, so
  // error_code keeps what the readers left; the fatal end is apart.
  (*doc)["fatal_code"] = result.end == CompileEnd::kHeaderFatal
                             ? json(result.fatal_code)
                             : json(nullptr);
  switch (result.end) {
    case CompileEnd::kWritten:
      (*doc)["end"] = write ? "written" : "checked";
      break;
    case CompileEnd::kHeaderFatal:
      (*doc)["end"] = "header places taken";
      break;
    case CompileEnd::kNoCellArray:
      (*doc)["end"] = "no cell array";
      break;
    case CompileEnd::kWriteFailed:
      (*doc)["end"] = "write failed";
      (*doc)["write_error"] = result.write_status.message();
      break;
  }
}

// A diagnostic's row with a caret under its column, when there is a row.
std::string Excerpt(SourceRows& rows, const SourceSpot& where) {
  const std::optional<std::string> row = rows.Row(where);
  return row ? CaretExcerpt(*row, where.column) : std::string();
}

}  // namespace

std::string CompileReportJson(const AuthorCompileOptions& options,
                              const AuthorCompile& compile, FileSystem& fs) {
  const Scenario& s = compile.scenario;
  const LintReport& report = compile.report;
  SourceRows rows(fs);
  json doc = {{"error_code", s.errors.error_code},
              {"error_position", s.errors.error_position},
              {"written", report.result.written},
              {"last_cell", s.last_cell},
              {"extended_length", s.extended_length},
              {"diagnostics", DiagnosticsJson(s, rows)}};
  AddEnd(report.result, options.write, &doc);
  if (options.warnings.shown)
    doc["warnings"] = WarningsJson(report.warnings, rows);
  if (options.summary) doc["summary"] = SummaryJson(report.summary);
  // JSON texts must be UTF-8; paths and fault texts may hold any bytes.
  return doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

std::string CompileFindingsText(const AuthorCompileOptions& options,
                                const AuthorCompile& compile, FileSystem& fs,
                                bool show_source) {
  const Scenario& s = compile.scenario;
  SourceRows rows(fs);
  std::string text;
  const auto add_warnings = [&](bool encoding) {
    for (const Warning& w : compile.report.warnings) {
      if ((w.kind == WarningKind::kFileEncoding) != encoding) continue;
      text += FormatWarning(w, s.param_table) + '\n';
      if (show_source) text += Excerpt(rows, w.where);
    }
  };
  // A file in another encoding is misread from its first byte: the codes
  // that follow are its effects, and the warning names the cause.
  add_warnings(true);
  for (const Diagnostic& d : s.errors.diagnostics) {
    const std::string& file =
        d.code == kCodeKilometreRecord ? options.line_file : options.train_file;
    text += FormatDiagnostic(d, s.param_table, file) + '\n';
    if (show_source) text += Excerpt(rows, d.where);
  }
  add_warnings(false);
  return text;
}

}  // namespace scenario
