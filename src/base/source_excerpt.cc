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
  // Controls other than the tab (C0, DEL, and the C1 controls that
  // Windows-1252 leaves some bytes to) would move the terminal's cursor or
  // change its state; each shows as one blank, as wide as its one byte,
  // so that the caret still lines up.
  const std::string shown = Windows1252ToUtf8(row);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const auto u = static_cast<unsigned char>(shown[i]);
    if (u == 0xc2 && i + 1 < shown.size() &&
        static_cast<unsigned char>(shown[i + 1]) <= 0x9f) {
      out += ' ';  // U+0080 to U+009F: two UTF-8 bytes for one row byte
      ++i;
    } else {
      out += (u < 0x20 && u != '\t') || u == 0x7f ? ' ' : shown[i];
    }
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
