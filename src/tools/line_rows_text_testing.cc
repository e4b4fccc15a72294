#include "tools/line_rows_text_testing.h"

#include <cstdint>
#include <string>

#include "line/read_log.h"

namespace scenario {

namespace {

bool IsGeneral(RowKind kind) {
  return static_cast<int>(kind) <= static_cast<int>(RowKind::kRepetition);
}

std::string RowLine(const RecoveredRow& row) {
  std::string text = row.keyword;
  for (std::int64_t n : row.numbers) text += ", " + std::to_string(n);
  if (row.kind == RowKind::kIndicatorBoard) {
    const bool quoted = row.text.find(',') != std::string::npos;
    text += ", " + (quoted ? "\"" + row.text + "\"" : row.text);
  }
  return text + "\r\n";
}

}  // namespace

std::string LineTextOfRows(const RecoveredDescription& line) {
  std::string general = "[generale]\r\n";
  std::string main = "[linea]\r\n";
  for (const RecoveredRow& row : line.rows) {
    (IsGeneral(row.kind) ? general : main) += RowLine(row);
  }
  return general + main + "[fine]\r\n";
}

}  // namespace scenario
