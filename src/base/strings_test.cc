#include "base/strings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace scenario {
namespace {

TEST(Strings, TrimTakesOnlyTheGivenCharactersAtTheEnds) {
  struct Case {
    const char* in;
    const char* chars;
    const char* want;
  };
  const Case kCases[] = {
      {"  a b\t", " \t", "a b"},
      {" \t ", " \t", ""},
      {"", " \t", ""},
      {"x\r\n", " \t", "x\r\n"},
      {"x \r\n", " \t\r\n", "x"},
      {"\tx", " ", "\tx"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(Trim(c.in, c.chars), c.want);
  }
}

TEST(Strings, PathsSplitAndJoinAtOneSlash) {
  EXPECT_EQ(BaseName("a/b/Valle_linea.txt"), "Valle_linea.txt");
  EXPECT_EQ(BaseName("Valle_linea.txt"), "Valle_linea.txt");
  EXPECT_EQ(BaseName("a/"), "");
  EXPECT_EQ(JoinPath("a/b", "c.txt"), "a/b/c.txt");
  EXPECT_EQ(JoinPath("", "c.txt"), "c.txt");
  EXPECT_EQ(JoinPath("/", "c.txt"), "/c.txt");
  EXPECT_EQ(JoinPath("a/b/", "c.txt"), "a/b/c.txt");
}

TEST(Strings, EditDistanceCountsSingleLetterChanges) {
  struct Case {
    const char* a;
    const char* b;
    std::size_t want;
  };
  constexpr Case kCases[] = {
      {"compile", "compile", 0}, {"compil", "compile", 1}, {"chek", "check", 1},
      {"inpsect", "inspect", 2}, {"", "lint", 4},          {"build", "", 5},
      {"watch", "patch", 1},     {"diff", "lsp", 4},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.a) + " " + c.b);
    EXPECT_EQ(EditDistance(c.a, c.b), c.want);
    EXPECT_EQ(EditDistance(c.b, c.a), c.want);
  }
}

TEST(Strings, NearestNameGuessesOnlyWhenOneNameIsNear) {
  const std::vector<std::string> commands = {"compile", "check",   "lint",
                                             "export",  "explain", "build"};
  const std::vector<std::string> warnings = {"decimal-comma",
                                             "dash-field-tested"};
  struct Case {
    const char* word;
    const std::vector<std::string>* names;
    const char* want;
  };
  const Case kCases[] = {
      {"compil", &commands, "compile"},   // a letter left out
      {"chekc", &commands, "check"},      // two swapped
      {"check", &commands, "check"},      // the name itself
      {"expalin", &commands, "explain"},  // nearer than export
      {"comp", &commands, "compile"},     // cut short
      {"ex", &commands, ""},              // begins two names
      {"frobnicate", &commands, ""},      // near none
      {"", &commands, ""},                // nothing typed
      {"decimal", &warnings, "decimal-comma"},
      {"decimal-coma", &warnings, "decimal-comma"},
      {"dash", &warnings, "dash-field-tested"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.word);
    EXPECT_EQ(NearestName(c.word, *c.names), c.want);
  }
}

TEST(Strings, CountOfTakesTheSingularForOneOnly) {
  EXPECT_EQ(CountOf(1, "file", "files"), "1 file");
  EXPECT_EQ(CountOf(0, "code", "codes"), "0 codes");
  EXPECT_EQ(CountOf(3, "warning", "warnings"), "3 warnings");
  EXPECT_EQ(CountOf(-1, "metre", "metres"), "-1 metres");
}

TEST(Strings, ClockTextKeepsEveryValue) {
  struct Case {
    std::int64_t seconds;
    const char* want;
  };
  const Case kCases[] = {
      {0, "0:00:00"},
      {17 * 3600 + 18 * 60 + 5, "17:18:05"},
      {30 * 3600, "30:00:00"},
      {-61, "-0:01:01"},
      {std::numeric_limits<std::int64_t>::min(), "-2562047788015215:30:08"},
  };
  for (const Case& c : kCases) EXPECT_EQ(ClockText(c.seconds), c.want);
}

TEST(Strings, StringPrintfNeverCutsItsText) {
  const std::string huge = StringPrintf("x=%.6f;", 1e300);
  EXPECT_EQ(huge.size(), std::string("x=;").size() + 301 + 7);
  EXPECT_TRUE(huge.ends_with(".000000;"));
  EXPECT_EQ(StringPrintf("%s", ""), "");
  EXPECT_EQ(StringPrintf("%d-%s", 7, "a"), "7-a");
}

TEST(Strings, PrintableNameEscapesEveryControlCharacter) {
  const struct {
    std::string name;
    std::string shown;
  } kCases[] = {
      {"Valle_R 1-.txt", "Valle_R 1-.txt"},
      {"a\x1b[31mred", "a\\x1b[31mred"},
      {std::string("nul\0end", 7), "nul\\x00end"},
      {"two\nlines\tand\rback\x7f", "two\\x0alines\\x09and\\x0dback\\x7f"},
      {"c1 \xc2\x9b"
       "2J",
       "c1 \\u009b2J"},
      {"Citt\xc3\xa0 \xc2\xa0 \\ ok", "Citt\xc3\xa0 \xc2\xa0 \\ ok"},
      {"cut \xc2", "cut \xc2"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(PrintableName(c.name), c.shown);
  }
  EXPECT_EQ(QuotedName("a\x1b"), "\"a\\x1b\"");
}

}  // namespace
}  // namespace scenario
