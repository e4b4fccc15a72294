#include "base/source_excerpt.h"

#include <algorithm>

#include "base/windows1252.h"

namespace scenario {

std::optional<std::string_view> SourceLine(std::string_view bytes, int line) {
  if (line < 1) return std::nullopt;
  std::size_t start = 0;
  for (int n = 1; n < line; ++n) {
    const std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) return std::nullopt;
    start = end + 1;
    if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') {
      ++start;
    }
  }
  // A file that ends with a line end has no line after it.
  if (start >= bytes.size() && line > 1) return std::nullopt;
  const std::size_t end = bytes.find_first_of("\r\n", start);
  return bytes.substr(start, end == std::string_view::npos
                                 ? std::string_view::npos
                                 : end - start);
}

std::string CaretExcerpt(std::string_view row, int column,
                         std::string_view indent) {
  std::string out(indent);
  // Controls other than the tab would move the terminal's cursor; they
  // show as blanks so that the caret still lines up.
  for (char c : Windows1252ToUtf8(row)) {
    const unsigned char u = static_cast<unsigned char>(c);
    out += (u < 0x20 && c != '\t') || u == 0x7f ? ' ' : c;
  }
  out += '\n';
  out += indent;
  const std::size_t before =
      std::min(row.size(), static_cast<std::size_t>(std::max(column, 1) - 1));
  for (std::size_t i = 0; i < before; ++i) {
    out += row[i] == '\t' ? '\t' : ' ';
  }
  out += "^\n";
  return out;
}

}  // namespace scenario
