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

// A snippet without its placeholders' marks: "${1:sx}" reads "sx".
std::string WithoutPlaceholders(const std::string& snippet) {
  std::string text;
  for (std::size_t i = 0; i < snippet.size(); ++i) {
    if (snippet.compare(i, 2, "${") == 0) {
      i = snippet.find(':', i);
    } else if (snippet[i] != '}') {
      text += snippet[i];
    }
  }
  return text;
}

// A client without snippets still gets the row's fields, by name in plain
// text, and not the keyword alone.
TEST(LspFeatures, CompletionOffersTheFieldsWithOrWithoutSnippets) {
  struct Case {
    DescriptionKind kind;
    const char* label;
    std::size_t fields;
  };
  const Case kCases[] = {
      {DescriptionKind::kLine, "pendenza", 2},
      {DescriptionKind::kLine, "curvad1", 2},
      {DescriptionKind::kTrain, "segnale", 11},
  };
  const EditorDocument doc("[generale]\r\nse\r\n");
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    json item[2];
    for (const bool snippets : {false, true}) {
      for (const json& each :
           CompletionFor(c.kind, doc, EditorPosition{1, 2}, snippets)) {
        if (each["label"] == c.label) item[snippets] = each;
      }
      ASSERT_TRUE(item[snippets].is_object());
    }
    EXPECT_EQ(item[false]["insertTextFormat"], 1);
    EXPECT_EQ(item[true]["insertTextFormat"], 2);
    const std::string plain = item[false]["insertText"];
    EXPECT_EQ(plain, WithoutPlaceholders(item[true]["insertText"]));
    // The keyword, then each field after a comma.
    std::size_t commas = 0;
    for (char ch : plain) commas += ch == ',';
    EXPECT_EQ(commas, c.fields) << plain;
    EXPECT_EQ(plain.find("$"), std::string::npos) << plain;
  }
}

}  // namespace
}  // namespace scenario
