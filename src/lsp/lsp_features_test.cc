#include "lsp/lsp_features.h"

#include <gtest/gtest.h>

#include <string>

namespace scenario {
namespace {

using nlohmann::json;

std::string HoverText(const json& hover) {
  return hover.is_null() ? "" : hover["contents"]["value"].get<std::string>();
}

// Hover describes a row only where the readers read one, and reads its
// numbers as they do.
TEST(LspFeatures, HoverFollowsTheReaders) {
  const EditorDocument doc(
      "[generale]\r\n"
      "pendenza,  5,  5\r\n"
      "[curve]\r\n"
      "pendenza,  +100,  3\r\n"
      "pendenza\r\n");
  // Not a row of the general part: the compiler passes it over.
  EXPECT_TRUE(HoverFor(DescriptionKind::kLine, doc, 1, nullptr).is_null());
  const std::string gradient =
      HoverText(HoverFor(DescriptionKind::kLine, doc, 3, nullptr));
  EXPECT_NE(gradient.find("**gradient** `pendenza`"), std::string::npos)
      << gradient;
  // A plus sign is a sign, as the field reader takes it.
  EXPECT_NE(gradient.find("At 100 m. From cell 2 on."), std::string::npos)
      << gradient;
  const std::string short_row =
      HoverText(HoverFor(DescriptionKind::kLine, doc, 4, nullptr));
  EXPECT_NE(
      short_row.find("- position (m): (missing: read from the next line)"),
      std::string::npos)
      << short_row;
  EXPECT_EQ(HoverText(HoverFor(DescriptionKind::kLine, doc, 2, nullptr)),
            "Section header **\\[curve]**");
}

}  // namespace
}  // namespace scenario
