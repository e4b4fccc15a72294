#include "lint/lint.h"

#include <utility>

#include "base/strings.h"
#include "lint/lint_context.h"

namespace scenario {

namespace {

// A row with a value too few (or a comment, or a line of other
// separators, read as a row) takes the next row's keyword as a number, and
// the reading stops there with code 25: the code's message names the row
// above that caused it (a shape warning whose other spot is the code's).
void NameShortRows(const std::vector<Warning>& warnings,
                   ErrorRegisters& errors) {
  for (const Warning& w : warnings) {
    if (!w.other || (w.kind != WarningKind::kRowShape &&
                     w.kind != WarningKind::kCommentMarker &&
                     w.kind != WarningKind::kFieldSeparator)) {
      continue;
    }
    for (Diagnostic& d : errors.diagnostics) {
      if (d.code != 25 || d.where.file != w.other->file ||
          d.where.line != w.other->line || d.where.column != w.other->column) {
        continue;
      }
      const std::string at =
          std::to_string(w.where.line) + ":" + std::to_string(w.where.column);
      d.message += w.kind == WarningKind::kRowShape
                       ? " (the row at " + at +
                             " probably lacks a value: see its row-shape "
                             "warning)"
                       : " (the line at " + at +
                             " is read as a row and takes this field as its "
                             "value: see its " +
                             std::string(WarningName(w.kind)) + " warning)";
    }
  }
}

}  // namespace

LintReport CompileAndLint(Scenario& s, std::int32_t j, FileSystem& fs,
                          CompileFiles files, const LintOptions& options) {
  ReadLog line_log;
  ReadLog train_log;
  files.line_log = &line_log;
  files.train_log = &train_log;
  LintReport report;
  report.result = memorizza_percorso(s, j, fs, files);
  report.warnings = FindWarnings(s, line_log, train_log, options);
  NameShortRows(report.warnings, s.errors);
  report.summary = SummarizeRead(s, line_log, train_log);
  return report;
}

std::vector<Warning> FindWarnings(const Scenario& s, ReadLog& line_log,
                                  ReadLog& train_log,
                                  const LintOptions& options) {
  line_log.EndRow();
  train_log.EndRow();
  LintContext c(s, line_log, train_log, options);
  FindReadingWarnings(c);
  FindRowWarnings(c);
  FindRunWarnings(c);
  FindValueWarnings(c);
  FindShapeWarnings(c);
  return c.TakeWarnings();
}

ReadSummary SummarizeRead(const Scenario& s, const ReadLog& line_log,
                          const ReadLog& train_log) {
  ReadSummary summary;
  for (const ReadLog* log : {&line_log, &train_log}) {
    for (const LoggedRow& row : log->rows()) {
      ++summary.rows[static_cast<int>(row.kind)];
    }
  }
  summary.line_length = s.param_table[kGeneralSlot].long2;
  const int stations = summary.count(RowKind::kStation);
  bool first = true;
  for (int k = 1; k <= stations && k < kParamSlotCount; ++k) {
    const std::int32_t p = s.param_table[k].long3;
    if (first || p < summary.first_station) summary.first_station = p;
    if (first || p > summary.last_station) summary.last_station = p;
    first = false;
  }
  return summary;
}

std::string DescribeSummary(const ReadSummary& r) {
  auto sum = [&](std::initializer_list<RowKind> kinds) {
    int n = 0;
    for (RowKind k : kinds) n += r.count(k);
    return n;
  };
  const int line_general =
      sum({RowKind::kLength, RowKind::kKilometreTre, RowKind::kKilometreDue,
           RowKind::kKilometreUno, RowKind::kSelectorUno, RowKind::kSelectorDue,
           RowKind::kSelectorTre, RowKind::kRepetition});
  const int train_general = sum({RowKind::kBrakedMass, RowKind::kCoaches,
                                 RowKind::kClock, RowKind::kSand});
  std::string text = "read line: ";
  text += CountOf(line_general, "general row", "general rows") + ", ";
  text += CountOf(r.count(RowKind::kCurve), "curve", "curves") + ", ";
  text += CountOf(r.count(RowKind::kGradient), "gradient", "gradients") + ", ";
  text +=
      CountOf(r.count(RowKind::kMountain), "mountain side", "mountain sides") +
      ", ";
  text += CountOf(r.count(RowKind::kSpeedBoard), "maximum-speed board",
                  "maximum-speed boards") +
          ", ";
  text += CountOf(r.count(RowKind::kIndicatorBoard), "indicator board",
                  "indicator boards");
  text += "; train: ";
  text += CountOf(train_general, "general row", "general rows") + ", ";
  text +=
      CountOf(r.count(RowKind::kAdhesion), "adhesion row", "adhesion rows") +
      ", ";
  text +=
      CountOf(r.count(RowKind::kSpeedLimit), "speed limit", "speed limits") +
      ", ";
  text += CountOf(r.count(RowKind::kStation), "station", "stations") + ", ";
  text += CountOf(r.count(RowKind::kSignal), "signal", "signals") + ", ";
  text += CountOf(r.count(RowKind::kSlowdown), "slowdown", "slowdowns") + ", ";
  text += CountOf(r.count(RowKind::kCodeChange), "code change", "code changes");
  text += "; line " + std::to_string(r.line_length) + " m";
  if (r.count(RowKind::kStation) > 0) {
    text += ", stations from " + std::to_string(r.first_station) + " m to " +
            std::to_string(r.last_station) + " m";
  }
  return text;
}

}  // namespace scenario
