#include "lsp/editor_document.h"

#include <gtest/gtest.h>

namespace scenario {
namespace {

// "à" is one Windows-1252 byte, two UTF-8 bytes and one UTF-16 unit; the
// emoji is no Windows-1252 byte, four UTF-8 bytes and two UTF-16 units.
constexpr const char* kText =
    "stazione, 1000, Citt\xc3\xa0, pendenza, 12x\r\n"
    "a\xf0\x9f\x98\x80z\n"
    "last\r"
    "end";

TEST(EditorDocument, BytesAreWindows1252OneByteACharacter) {
  const EditorDocument doc(kText);
  EXPECT_EQ(doc.bytes(),
            "stazione, 1000, Citt\xe0, pendenza, 12x\r\na?z\nlast\rend");
  EXPECT_EQ(doc.line_count(), 4);
  EXPECT_EQ(doc.ByteLine(0), "stazione, 1000, Citt\xe0, pendenza, 12x");
  EXPECT_EQ(doc.ByteLine(2), "last");
  EXPECT_EQ(doc.ByteLine(3), "end");
  EXPECT_EQ(doc.ByteLine(4), "");
  ASSERT_EQ(doc.unmapped().size(), 1u);
  EXPECT_EQ(doc.unmapped()[0], (EditorPosition{1, 1}));
}

TEST(EditorDocument, CompilerColumnsBecomeUtf16Columns) {
  const EditorDocument doc(kText);
  struct Case {
    int line, column;  // the compiler's, from 1, in bytes
    EditorPosition want;
    bool inside;  // the place lies in the text: it converts back
  };
  const Case cases[] = {
      // "12x" is byte 34 of the line, and UTF-16 unit 33 from 0: the "à"
      // before it does not shift it (in UTF-8 bytes it would be 34).
      {1, 34, {0, 33}, true},
      {1, 1, {0, 0}, true},
      // After the emoji: byte 3, UTF-16 unit 3.
      {2, 3, {1, 3}, true},
      // Clamped to the line and to the text.
      {2, 99, {1, 4}, false},
      {9, 1, {3, 0}, false},
      {0, 0, {0, 0}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.line) + ":" + std::to_string(c.column));
    const EditorPosition got = doc.FromCompiler(c.line, c.column);
    EXPECT_EQ(got, c.want);
    if (c.inside) {
      EXPECT_EQ(doc.ByteColumn(got), static_cast<std::size_t>(c.column - 1));
    }
  }
  EXPECT_EQ(doc.LineEnd(0), (EditorPosition{0, 36}));
  EXPECT_EQ(doc.LineEnd(1), (EditorPosition{1, 4}));
}

TEST(EditorDocument, EditsReplaceBetweenUtf16Positions) {
  const EditorDocument doc(kText);
  // Replace the emoji (two units) by "b".
  const std::string edited = ApplyEdit(doc, {1, 1}, {1, 3}, "b");
  EXPECT_EQ(EditorDocument(edited).ByteLine(1), "abz");
  // Positions past the end append.
  EXPECT_EQ(ApplyEdit(EditorDocument("ab"), {7, 0}, {9, 9}, "c"), "abc");
}

}  // namespace
}  // namespace scenario
