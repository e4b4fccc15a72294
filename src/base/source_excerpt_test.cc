#include "base/source_excerpt.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace scenario {
namespace {

TEST(SourceLine, CrLfLoneLfAndLoneCrEachEndALine) {
  // CR LF, a lone LF and a lone CR each end one line.
  const std::string bytes = "one\r\ntwo\nthree\rfour";
  struct Case {
    int line;
    std::optional<std::string> text;
  };
  const Case cases[] = {{1, "one"},  {2, "two"},        {3, "three"},
                        {4, "four"}, {5, std::nullopt}, {0, std::nullopt}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const std::optional<std::string_view> got = SourceLine(bytes, c.line);
    ASSERT_EQ(got.has_value(), c.text.has_value());
    if (got) {
      EXPECT_EQ(std::string(*got), *c.text);
    }
  }
  // A closing line end opens no further line; an empty line is a line.
  EXPECT_FALSE(SourceLine("a\r\n", 2).has_value());
  EXPECT_EQ(SourceLine("a\r\n\r\nb", 2), std::optional<std::string_view>(""));
}

// Where the caret stands on a UTF-8 terminal: the number of characters
// (not bytes) before it.
std::size_t CaretCharacter(const std::string& caret_line) {
  return caret_line.find('^');
}

// The character at index n of a UTF-8 line, as a UTF-8 string.
std::string CharacterAt(const std::string& utf8, std::size_t n) {
  std::size_t at = 0;
  for (std::size_t i = 0; i < n; ++i) {
    ++at;
    while (at < utf8.size() && (utf8[at] & 0xc0) == 0x80) ++at;
  }
  std::size_t end = at + 1;
  while (end < utf8.size() && (utf8[end] & 0xc0) == 0x80) ++end;
  return utf8.substr(at, end - at);
}

TEST(CaretExcerpt, CaretStandsUnderTheColumnAfterAccentedLetters) {
  // "Città" and "Forlì" are one byte a letter in Windows-1252 but two
  // bytes in UTF-8: a caret placed by UTF-8 bytes would stand two places too
  // far.
  const std::string row =
      "record,  3100, 22, 400, 0,0,0, 2,1,0, 2,1,0, 60, 17,18,0, "
      "Citt\xe0 di Forl\xec, amount, 1000, 9O";
  const int column = static_cast<int>(row.find("9O")) + 1;
  const std::string excerpt = CaretExcerpt(row, column, "");
  const std::size_t newline = excerpt.find('\n');
  const std::string shown = excerpt.substr(0, newline);
  const std::string caret = excerpt.substr(newline + 1);
  EXPECT_EQ(shown.find("Citt\xc3\xa0 di Forl\xc3\xac"), row.find("Citt"));
  EXPECT_EQ(CaretCharacter(caret), static_cast<std::size_t>(column - 1));
  EXPECT_EQ(CharacterAt(shown, CaretCharacter(caret)), "9");
  EXPECT_EQ(caret, std::string(column - 1, ' ') + "^\n");
}

TEST(CaretExcerpt, KeepsTabsAndClampsTheColumn) {
  struct Case {
    const char* row;
    int column;
    const char* want;
  };
  const Case cases[] = {
      // Tabs stay tabs in both lines, so the terminal expands them alike.
      {"\tquantity,\t600", 11, "> \tquantity,\t600\n> \t         ^\n"},
      // A column past the end puts the caret right after the row.
      {"ab", 9, "> ab\n>   ^\n"},
      // Column 0 (no column known) points at the row's start.
      {"ab", 0, "> ab\n> ^\n"},
      // A stray control byte shows as a blank.
      {"a\x1b"
       "b",
       3, "> a b\n>   ^\n"},
      // So do the bytes that Windows-1252 leaves to the C1 controls (0x9D
      // would open an operating-system command on the terminal), each one
      // blank for its one byte; the 0x80 to 0x9F bytes it gives letters to
      // stay letters.
      {"a\x9d\x90"
       "b\x80",
       4, "> a  b\xe2\x82\xac\n>    ^\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    EXPECT_EQ(CaretExcerpt(c.row, c.column, "> "), c.want);
  }
}

}  // namespace
}  // namespace scenario
