#include "lint/lint_context.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "base/strings.h"
#include "base/windows1252.h"
#include "model/kilometre_axis.h"

namespace scenario {

std::vector<RowView> LintContext::Rows(RowKind kind) const {
  std::vector<RowView> rows;
  for (const ReadLog* log : {&line_, &train_}) {
    for (const LoggedRow& row : log->rows()) {
      if (row.kind == kind) rows.emplace_back(*log, row);
    }
  }
  return rows;
}

SourceSpot LintContext::Spot(const ReadLog& log, std::size_t field) {
  const LoggedField& f = log.fields()[field];
  return SourceSpot{log.file(), f.line, f.column};
}

void LintContext::Add(WarningKind kind, const ReadLog& log, std::size_t field,
                      std::optional<std::int32_t> position, std::string text,
                      std::optional<SourceSpot> other) {
  if (!Enabled(kind)) return;
  warnings_.push_back(
      Warning{kind, Spot(log, field), position, std::move(text), other});
}

void LintContext::AddAt(WarningKind kind, SourceSpot where,
                        std::optional<std::int32_t> position,
                        std::string text) {
  if (!Enabled(kind)) return;
  warnings_.push_back(
      Warning{kind, std::move(where), position, std::move(text), std::nullopt});
}

std::vector<Warning> LintContext::TakeWarnings() {
  auto file_rank = [this](const Warning& w) {
    return w.where.file == line_.file() ? 0 : 1;
  };
  std::stable_sort(warnings_.begin(), warnings_.end(),
                   [&](const Warning& a, const Warning& b) {
                     const int fa = file_rank(a);
                     const int fb = file_rank(b);
                     if (fa != fb) return fa < fb;
                     if (a.where.line != b.where.line) {
                       return a.where.line < b.where.line;
                     }
                     return a.where.column < b.where.column;
                   });
  return std::move(warnings_);
}

std::string Quoted(std::string_view windows1252) {
  return "\"" + Windows1252ToUtf8(windows1252) + "\"";
}

std::string At(const LoggedField& field) {
  return std::to_string(field.line) + ":" + std::to_string(field.column);
}

std::string Metres(const Scenario& s, std::int64_t position) {
  return std::to_string(position) + " m (km " +
         FormatKilometre(KilometreAxis(s.param_table)
                             .Reading(static_cast<double>(position))) +
         ")";
}

}  // namespace scenario
