#ifndef SCENARIO_LINT_LINT_CONTEXT_H_
#define SCENARIO_LINT_LINT_CONTEXT_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "line/read_log.h"
#include "lint/lint.h"
#include "lint/warnings.h"
#include "model/scenario.h"

namespace scenario {

// One row as a reader read it: its keyword and the fields its handler
// read, numbered from 0 after the keyword.
class RowView {
 public:
  RowView(const ReadLog& log, const LoggedRow& row) : log_(&log), row_(&row) {}

  RowKind kind() const { return row_->kind; }
  const ReadLog& log() const { return *log_; }
  std::size_t keyword_index() const { return row_->keyword_field; }
  const LoggedField& keyword() const {
    return log_->fields()[row_->keyword_field];
  }
  // The number of fields the handler read (fewer than the row's shape
  // when it stopped at a code).
  std::size_t size() const { return row_->end_field - row_->first_field; }
  bool has(std::size_t i) const { return i < size(); }
  // REQUIRES: has(i).
  std::size_t index(std::size_t i) const { return row_->first_field + i; }
  const LoggedField& field(std::size_t i) const {
    return log_->fields()[index(i)];
  }
  // Field i's number, or 0 when the handler did not read it.
  std::int64_t value(std::size_t i) const {
    return has(i) ? field(i).value : 0;
  }

 private:
  const ReadLog* log_;
  const LoggedRow* row_;
};

// The state one search for warnings shares: the compiled model, the two
// read logs and the warnings found so far.
class LintContext {
 public:
  LintContext(const Scenario& s, const ReadLog& line, const ReadLog& train,
              const LintOptions& options)
      : s_(s), line_(line), train_(train), options_(options) {}

  const Scenario& scenario() const { return s_; }
  const ReadLog& line() const { return line_; }
  const ReadLog& train() const { return train_; }

  // The rows of one kind, in file order.
  std::vector<RowView> Rows(RowKind kind) const;

  // Where field i of log stands.
  static SourceSpot Spot(const ReadLog& log, std::size_t field);

  bool Enabled(WarningKind kind) const {
    return !options_.disabled.test(WarningBit(kind));
  }
  // Adds a warning at field i of log (unless its kind is disabled).
  void Add(WarningKind kind, const ReadLog& log, std::size_t field,
           std::optional<std::int32_t> position, std::string text,
           std::optional<SourceSpot> other = std::nullopt);
  // The same at a spot of its own, for a field the log does not list.
  void AddAt(WarningKind kind, SourceSpot where,
             std::optional<std::int32_t> position, std::string text);

  // The warnings in file order (line file first), then line and column.
  std::vector<Warning> TakeWarnings();

 private:
  const Scenario& s_;
  const ReadLog& line_;
  const ReadLog& train_;
  const LintOptions& options_;
  std::vector<Warning> warnings_;
};

// Texts for the warnings. A file's text (Windows-1252) in double quotes,
// as UTF-8.
std::string Quoted(std::string_view windows1252);
// "L:C" of a field, to name another row in a warning's text.
std::string At(const LoggedField& field);
// A position with its kilometre reading: "1200 m (km 1+200)".
std::string Metres(const Scenario& s, std::int64_t position);

// The three families of warnings, each in its own file.
// Fields passed over, keywords, dashes, decimal commas, the file's last
// field, texts that look like UTF-8.
void FindReadingWarnings(LintContext& c);
// Rows of one kind against each other and against their fields' widths:
// order, same position, curves, values stored altered.
void FindRowWarnings(LintContext& c);
// The train's run against the line: timetable, speed limits against the
// boards, kilometre stones, items overwritten by stop marks.
void FindRunWarnings(LintContext& c);
// Values no railway has: lengths, positions beyond the line's end, speeds,
// gradients, the train's stations.
void FindValueWarnings(LintContext& c);
// The lines as written: too few values for the row, comment markers,
// other separators, the file's encoding.
void FindShapeWarnings(LintContext& c);

// What the shape warnings recognise, so that the reading warnings leave
// those fields to them. The comment marker a keyword field starts with
// ("#", "//", ";", "'", "REM"), or "".
std::string_view CommentMarker(std::string_view text);
// ';' or '\t' when the field holds one followed by a number (fields
// separated by other than commas), else '\0'.
char InnerSeparator(std::string_view text);
// A file saved as UTF-16: a byte-order mark, or zero bytes in a field.
bool LooksUtf16(const ReadLog& log);

}  // namespace scenario

#endif  // SCENARIO_LINT_LINT_CONTEXT_H_
