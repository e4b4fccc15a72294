#include "lsp/editor_document.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

#include "base/utf8.h"
#include "base/windows1252.h"

namespace scenario {

namespace {

// One character of UTF-8 text: its length in bytes and in UTF-16 units.
// A malformed sequence counts as one byte and one unit.
struct Utf8Char {
  std::size_t bytes = 1;
  int units = 1;
  bool valid = false;
};

Utf8Char DecodeAt(std::string_view text, std::size_t i) {
  char32_t cp;
  const std::size_t n = DecodeUtf8(text, i, &cp);
  if (n == 0) return Utf8Char{};
  // Beyond the basic plane a character takes two UTF-16 units.
  return Utf8Char{n, cp >= 0x10000 ? 2 : 1, true};
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

EditorDocument::EditorDocument(std::string utf8) : text_(std::move(utf8)) {
  bytes_.reserve(text_.size());
  text_lines_.push_back(0);
  byte_lines_.push_back(0);
  int column = 0;  // UTF-16 units since the line's start
  std::size_t i = 0;
  while (i < text_.size()) {
    const char ch = text_[i];
    if (static_cast<unsigned char>(ch) < 0x80) {
      bytes_.push_back(ch);
      ++i;
      if (ch == '\n' ||
          (ch == '\r' && (i >= text_.size() || text_[i] != '\n'))) {
        text_lines_.push_back(i);
        byte_lines_.push_back(bytes_.size());
        column = 0;
      } else {
        ++column;
      }
      continue;
    }
    const Utf8Char c = DecodeAt(text_, i);
    std::optional<std::string> byte;
    if (c.valid)
      byte = Utf8ToWindows1252(std::string_view(text_).substr(i, c.bytes));
    if (byte && byte->size() == 1) {
      bytes_.push_back((*byte)[0]);
    } else {
      bytes_.push_back('?');
      unmapped_.push_back({static_cast<int>(text_lines_.size()) - 1, column});
    }
    column += c.units;
    i += c.bytes;
  }
}

std::string_view EditorDocument::ByteLine(int line) const {
  if (line < 0 || line >= line_count()) return {};
  const std::size_t start = byte_lines_[line];
  std::size_t end =
      line + 1 < line_count() ? byte_lines_[line + 1] : bytes_.size();
  while (end > start && IsLineEnd(bytes_[end - 1])) --end;
  return std::string_view(bytes_).substr(start, end - start);
}

EditorPosition EditorDocument::FromCompiler(int line, int column) const {
  const int l = static_cast<int>(
      std::clamp<std::int64_t>(std::int64_t{line} - 1, 0, line_count() - 1));
  const std::size_t wanted = static_cast<std::size_t>(
      std::clamp<std::int64_t>(std::int64_t{column} - 1, 0,
                               static_cast<std::int64_t>(ByteLine(l).size())));
  int units = 0;
  std::size_t i = text_lines_[l];
  for (std::size_t n = 0; n < wanted && i < text_.size(); ++n) {
    const Utf8Char c = DecodeAt(text_, i);
    units += c.units;
    i += c.bytes;
  }
  return {l, units};
}

std::size_t EditorDocument::ByteColumn(EditorPosition p) const {
  const int l = std::clamp(p.line, 0, line_count() - 1);
  const std::size_t length = ByteLine(l).size();
  int units = 0;
  std::size_t i = text_lines_[l];
  std::size_t n = 0;
  while (n < length && units < p.character) {
    const Utf8Char c = DecodeAt(text_, i);
    units += c.units;
    i += c.bytes;
    ++n;
  }
  return n;
}

std::size_t EditorDocument::TextOffset(EditorPosition p) const {
  if (p.line < 0) return 0;
  if (p.line >= line_count()) return text_.size();
  const std::size_t n = ByteColumn(p);
  std::size_t i = text_lines_[p.line];
  for (std::size_t k = 0; k < n; ++k) i += DecodeAt(text_, i).bytes;
  return i;
}

EditorPosition EditorDocument::LineEnd(int line) const {
  const int l = std::clamp(line, 0, line_count() - 1);
  return FromCompiler(l + 1, static_cast<int>(ByteLine(l).size()) + 1);
}

std::string ApplyEdit(const EditorDocument& doc, EditorPosition from,
                      EditorPosition to, std::string_view replacement) {
  std::size_t a = doc.TextOffset(from);
  std::size_t b = doc.TextOffset(to);
  if (b < a) std::swap(a, b);
  std::string text = doc.text().substr(0, a);
  text.append(replacement);
  text.append(doc.text(), b, std::string::npos);
  return text;
}

}  // namespace scenario
