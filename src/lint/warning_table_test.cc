#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

#include "lint/warnings.h"

namespace scenario {
namespace {

// Authors silence kinds by name and `explain` prints the entries: every
// entry is complete, and its name is unique and written as the command
// line takes it.
TEST(WarningTable, EntriesAreCompleteWithUniqueNames) {
  std::set<std::string_view> names;
  for (const WarningKindInfo& e : WarningKinds()) {
    SCOPED_TRACE(std::string(e.name));
    EXPECT_TRUE(names.insert(e.name).second);
    EXPECT_EQ(e.name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-"),
              std::string_view::npos);
    EXPECT_FALSE(e.summary.empty());
    EXPECT_FALSE(e.cause.empty());
    EXPECT_FALSE(e.fix.empty());
    EXPECT_EQ(e.wrong.empty(), e.right.empty());
    EXPECT_EQ(&Describe(e.kind), &e);
    EXPECT_EQ(FindWarningKind(e.name), e.kind);
  }
  EXPECT_EQ(names.size(), static_cast<std::size_t>(kWarningKindCount));
}

TEST(WarningTable, FindTakesOnlyAnExactName) {
  for (std::string_view name : {"16", "Decimal-comma", "decimal-comma ", "",
                                "decimal", "decimal-commas"}) {
    SCOPED_TRACE(std::string(name));
    EXPECT_EQ(FindWarningKind(name), std::nullopt);
  }
  EXPECT_EQ(FindWarningKind("decimal-comma"), WarningKind::kDecimalComma);
}

}  // namespace
}  // namespace scenario
