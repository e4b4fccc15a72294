#include "line/row_reading.h"

#include <gtest/gtest.h>

#include <string>

namespace scenario {
namespace {

TEST(RowReading, KeywordMatches) {
  struct Case {
    const char* field;
    const char* word;
    bool exact;
    bool any_case;
  };
  constexpr Case kCases[] = {
      {"pendenza", "pendenza", true, true},
      {"  PenDenza ", "pendenza", false, true},
      {"tre_progressiva", "progressiva", true, true},
      {"pendenz", "pendenza", false, false},
      {"", "s", false, false},
      {"anything", "", true, true},
      // Only ASCII letters fold: a Windows-1252 capital A grave is not the
      // small one.
      {"citt\xC0", "citt\xE0", false, false},
      {"citt\xE0", "citt\xE0", true, true},
      // A non-letter never folds onto a letter.
      {"[GENERALE]", "[generale]", false, true},
      {"@", "`", false, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.field) + " / " + c.word);
    EXPECT_EQ(Has(c.field, c.word), c.exact);
    EXPECT_EQ(HasAnyCase(c.field, c.word), c.any_case);
  }
}

}  // namespace
}  // namespace scenario
