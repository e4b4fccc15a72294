// Warnings about the shape of the lines an author wrote: the readers read
// a stream of fields, but authors write one row per line. A line with too
// few values, a comment marker, a separator other than the comma (between
// rows or inside a number), a file in another encoding.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/strings.h"
#include "line/row_reading.h"
#include "lint/lint_context.h"

namespace scenario {

std::string_view CommentMarker(std::string_view text) {
  text = Trim(text);
  for (std::string_view marker : {"#", "//", ";", "'"}) {
    if (text.starts_with(marker)) return marker;
  }
  if (text.size() >= 3 && HasAnyCase(text.substr(0, 3), "rem") &&
      (text.size() == 3 || text[3] == ' ' || text[3] == '\t')) {
    return text.substr(0, 3);
  }
  return "";
}

char InnerSeparator(std::string_view text) {
  text = Trim(text);
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != ';' && text[i] != '\t') continue;
    std::size_t j = i + 1;
    while (j < text.size() && (text[j] == ' ' || text[j] == '\t')) ++j;
    if (j < text.size() &&
        ((text[j] >= '0' && text[j] <= '9') || text[j] == '-')) {
      return text[i];
    }
  }
  return '\0';
}

bool LooksUtf16(const ReadLog& log) {
  if (log.fields().empty()) return false;
  const std::string& first = log.fields().front().text;
  if (first.starts_with("\xff\xfe") || first.starts_with("\xfe\xff")) {
    return true;
  }
  return std::any_of(log.fields().begin(), log.fields().end(),
                     [](const LoggedField& f) {
                       return f.text.find('\0') != std::string::npos;
                     });
}

namespace {

std::string Row(RowKind kind) {
  return "the " + std::string(RowKindName(kind)) + " row";
}

// Whether a line problem of its own explains the row's keyword.
bool KeywordExplained(const RowView& row) {
  const std::string& text = row.keyword().text;
  return !CommentMarker(text).empty() || InnerSeparator(text) != '\0';
}

// The code 25 recorded in this file below line, if any.
const Diagnostic* FaultBelow(const Scenario& s, const ReadLog& log, int line) {
  for (const Diagnostic& d : s.errors.diagnostics) {
    if (d.code == 25 && d.where.file == log.file() && d.where.line > line) {
      return &d;
    }
  }
  return nullptr;
}

// When the reading stopped in the row this keyword began (the log's last
// row, cut short) at a code 25 below the keyword's line: that code's spot.
std::optional<SourceSpot> StoppedBelow(const LintContext& c, const ReadLog& log,
                                       std::size_t keyword) {
  if (log.rows().empty()) return std::nullopt;
  const RowView last(log, log.rows().back());
  if (last.keyword_index() != keyword ||
      last.size() >= RowKindValueCount(last.kind())) {
    return std::nullopt;
  }
  const Diagnostic* fault =
      FaultBelow(c.scenario(), log, log.fields()[keyword].line);
  if (fault == nullptr) return std::nullopt;
  return fault->where;
}

// A row whose values do not all stand on its keyword's line took the next
// line's first fields; one cut short by a fault below it met a keyword
// where a number was due.
void RowShape(LintContext& c, const ReadLog& log) {
  for (const LoggedRow& logged : log.rows()) {
    const RowView row(log, logged);
    if (KeywordExplained(row)) continue;
    const std::size_t needed = RowKindValueCount(row.kind());
    const int line = row.keyword().line;
    std::size_t on_line = 0;
    while (on_line < row.size() && row.field(on_line).line == line) ++on_line;
    std::optional<SourceSpot> fault_spot;
    std::string text = Row(row.kind()) + " has " + std::to_string(on_line) +
                       " values on its line, it needs " +
                       std::to_string(needed) + ": ";
    if (row.size() == needed && on_line < needed) {
      const LoggedField& next = row.field(on_line);
      text += "value " + std::to_string(on_line + 1) + " is taken from line " +
              std::to_string(next.line) + " (" + Quoted(next.text) + ")";
    } else if (on_line == row.size() &&
               (fault_spot = StoppedBelow(c, log, row.keyword_index()))) {
      text += "the next row's keyword is read as value " +
              std::to_string(on_line + 1) +
              ", and it is no number (error 25 at " +
              std::to_string(fault_spot->line) + ":" +
              std::to_string(fault_spot->column) + ")";
    } else {
      continue;
    }
    c.Add(WarningKind::kRowShape, log, row.keyword_index(), std::nullopt, text,
          fault_spot);
  }
}

// Keyword fields that start like a comment or hold other separators.
void LineMarks(LintContext& c, const ReadLog& log) {
  const std::vector<LoggedField>& fields = log.fields();
  for (const LoggedKeyword& k : log.keywords()) {
    if (k.use != KeywordUse::kTested && k.use != KeywordUse::kDashSkipped) {
      continue;
    }
    const LoggedField& f = fields[k.field];
    const bool starts_line = k.field == 0 || fields[k.field - 1].line < f.line;
    const std::string read =
        k.use == KeywordUse::kDashSkipped
            ? "it holds a dash, so it is passed over as a separator line: "
              "nothing of it is read"
        : k.matches != 0 ? "it is read as a " +
                               std::string(RowKindName(static_cast<RowKind>(
                                   std::countr_zero(k.matches)))) +
                               " row, taking its values from what follows"
                         : "it is passed over as a field that matches no "
                           "keyword, and each number after a comma in it too";
    if (const std::string_view marker = CommentMarker(f.text);
        starts_line && !marker.empty()) {
      c.Add(WarningKind::kCommentMarker, log, k.field, std::nullopt,
            "the line starts with " + Quoted(marker) +
                ", but a description has no comments: " + read,
            StoppedBelow(c, log, k.field));
    } else if (const char sep = InnerSeparator(f.text); sep != '\0') {
      c.Add(WarningKind::kFieldSeparator, log, k.field, std::nullopt,
            std::string("the fields of this line are separated by ") +
                (sep == ';' ? "semicolons" : "tabs") +
                ", but only a comma separates fields: the line up to the "
                "first comma is one keyword field, and " +
                read,
            StoppedBelow(c, log, k.field));
    }
  }
}

// A number field that holds a semicolon ("12;5", "120;", or ";-11" after
// "600 ") is no number: the reading of the file stops there with error
// 25, whose text alone does not say why.
void FailedSeparator(LintContext& c, const ReadLog& log) {
  if (!log.failed_field()) return;
  const LoggedField& f = *log.failed_field();
  if (!f.number || f.text.find(';') == std::string::npos) return;
  const bool last = Trim(f.text).ends_with(';');
  c.AddAt(WarningKind::kFieldSeparator, {log.file(), f.line, f.column},
          std::nullopt,
          "the field " + Quoted(f.text) +
              " holds a semicolon, but only a comma separates fields: it is "
              "read as one number, which it is not, so the reading of the "
              "file stops here (error 25); " +
              (last ? "drop the semicolon" : "put a comma in its place"));
}

void Encoding(LintContext& c, const ReadLog& log) {
  if (log.fields().empty()) return;
  if (LooksUtf16(log)) {
    c.Add(WarningKind::kFileEncoding, log, 0, std::nullopt,
          "the file is saved as UTF-16 (\"Unicode\"): every other byte is 0, "
          "so no keyword is found in it; save it as Windows-1252 (\"ANSI\")");
  } else if (log.fields().front().text.starts_with("\xef\xbb\xbf")) {
    c.Add(WarningKind::kFileEncoding, log, 0, std::nullopt,
          "the file starts with a UTF-8 byte-order mark, read as three "
          "characters of Windows-1252; save it as Windows-1252 without one");
  }
}

}  // namespace

void FindShapeWarnings(LintContext& c) {
  for (const ReadLog* log : {&c.line(), &c.train()}) {
    Encoding(c, *log);
    RowShape(c, *log);
    LineMarks(c, *log);
    FailedSeparator(c, *log);
  }
}

}  // namespace scenario
