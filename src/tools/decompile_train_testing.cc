#include "tools/decompile_train_testing.h"

#include <cstdint>
#include <string>

namespace scenario {

namespace {

bool NeedsQuotes(const std::string& text) {
  if (text.empty()) return false;
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  return text.front() == '"' || blank(text.front()) || blank(text.back()) ||
         text.find_first_of(",\r\n") != std::string::npos;
}

}  // namespace

std::string TrainTextForTests(const RecoveredDescription& train) {
  std::string text = "[generale]\r\n";
  for (const RecoveredRow& row : train.rows) {
    text += row.keyword;
    for (std::int64_t n : row.numbers) text += ", " + std::to_string(n);
    if (row.kind == RowKind::kStation) {
      text += ", ";
      text += NeedsQuotes(row.text) ? "\"" + row.text + "\"" : row.text;
    }
    text += "\r\n";
  }
  text += "[fine]\r\n";
  return text;
}

}  // namespace scenario
