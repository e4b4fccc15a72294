#ifndef SCENARIO_LSP_EDITOR_DOCUMENT_H_
#define SCENARIO_LSP_EDITOR_DOCUMENT_H_

// A description file as an editor holds it: UTF-8 text, positions in
// lines and UTF-16 code units. The compiler reads Windows-1252 bytes and
// counts columns in bytes; this class converts between the two.
//
// Every Windows-1252 byte is one character of the Basic Multilingual
// Plane, so the bytes have one byte for each character of the text, and
// line ends (CR LF, LF, lone CR) fall in the same places. A character with
// no Windows-1252 byte becomes "?" in the bytes and is listed in
// unmapped(); it still counts as one character, so the columns after it
// stay right.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

// A place in the editor's text: line and UTF-16 column, both from 0.
struct EditorPosition {
  int line = 0;
  int character = 0;
  bool operator==(const EditorPosition&) const = default;
};

class EditorDocument {
 public:
  EditorDocument() : EditorDocument("") {}
  explicit EditorDocument(std::string utf8);

  const std::string& text() const { return text_; }
  // The Windows-1252 bytes the compiler reads.
  const std::string& bytes() const { return bytes_; }
  int line_count() const { return static_cast<int>(byte_lines_.size()); }

  // One line of the bytes, without its line end; "" past the last line.
  std::string_view ByteLine(int line) const;

  // The editor position of a compiler place: line and column from 1, the
  // column in bytes. Clamped to the text.
  EditorPosition FromCompiler(int line, int column) const;
  // The byte offset, within its line of the bytes, of an editor position;
  // clamped to the line.
  std::size_t ByteColumn(EditorPosition p) const;
  // The offset of an editor position in text(); clamped to the text.
  std::size_t TextOffset(EditorPosition p) const;
  // The end of a line, in editor units.
  EditorPosition LineEnd(int line) const;

  // Where the characters with no Windows-1252 byte stand.
  const std::vector<EditorPosition>& unmapped() const { return unmapped_; }

 private:
  std::string text_;
  std::string bytes_;
  // Where each line starts in text_ and in bytes_.
  std::vector<std::size_t> text_lines_;
  std::vector<std::size_t> byte_lines_;
  std::vector<EditorPosition> unmapped_;
};

// Replaces the text between two editor positions (an incremental change).
std::string ApplyEdit(const EditorDocument& doc, EditorPosition from,
                      EditorPosition to, std::string_view replacement);

}  // namespace scenario

#endif  // SCENARIO_LSP_EDITOR_DOCUMENT_H_
