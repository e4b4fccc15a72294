#include "model/code_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "model/errors.h"

namespace scenario {
namespace {

// What `explain` and the reference page rely on: every entry is complete,
// and the entries stand in increasing order of code, once each.
TEST(CodeTable, EntriesAreCompleteAndInIncreasingOrder) {
  std::int32_t previous = 0;
  for (const CodeEntry& e : kCodeTable) {
    SCOPED_TRACE(e.code);
    EXPECT_GT(e.code, previous);
    previous = e.code;
    EXPECT_TRUE(e.file == "line" || e.file == "train" || e.file == "both" ||
                e.file.empty());
    EXPECT_FALSE(e.summary.empty());
    EXPECT_EQ(e.summary.find('\n'), std::string_view::npos);
    EXPECT_FALSE(e.cause.empty());
    EXPECT_FALSE(e.fix.empty());
    EXPECT_EQ(e.wrong.empty(), e.right.empty());
    if (!e.wrong.empty()) {
      EXPECT_NE(e.wrong, e.right);
    }
  }
}

TEST(CodeTable, FindsOnlyTheCodesItHolds) {
  struct Case {
    std::int32_t code;
    bool found;
  };
  constexpr Case kCases[] = {
      {1, true},   {16, true}, {25, true},   {1251, true}, {14, false},
      {23, false}, {0, false}, {-16, false}, {26, false},  {1252, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.code);
    const CodeEntry* e = FindCodeEntry(c.code);
    ASSERT_EQ(e != nullptr, c.found);
    if (e != nullptr) {
      EXPECT_EQ(e->code, c.code);
    }
  }
}

}  // namespace
}  // namespace scenario
