#include "lsp/lsp_features.h"

#include <gtest/gtest.h>

#include <string>

#include "line/row_fields.h"

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

// Hover names a row's fields as the format reference and inspect do, and
// says what the compiler does with each.
TEST(LspFeatures, HoverNamesFieldsFromTheRowFieldTable) {
  const EditorDocument doc(
      "[generale]\r\n"
      "stazione, 3100, 22, 400, 1, 0, 0, 2,1,0, 2,1,0, 60, 17,18, 0, "
      "Bosco\r\n");
  const std::string station =
      HoverText(HoverFor(DescriptionKind::kTrain, doc, 1, nullptr));
  const auto fields = RowFields(RowKind::kStation);
  std::size_t at = 0;
  for (const FieldGuide& f : fields) {
    at = station.find("- " + FieldLabel(f) + ": ", at);
    ASSERT_NE(at, std::string::npos) << f.name << " in order\n" << station;
  }
  EXPECT_NE(station.find("- byte2: 1 — Passed on to the simulator. Copied "
                         "into its slot (byte2)."),
            std::string::npos)
      << station;
}

}  // namespace
}  // namespace scenario
