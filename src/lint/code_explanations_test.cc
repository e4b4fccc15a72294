#include "lint/code_explanations.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "lint/warnings.h"
#include "model/diagnostics.h"

namespace scenario {
namespace {

TEST(CodeExplanations, WarningEntryOpensWithItsSummary) {
  const WarningKindInfo& kind = Describe(WarningKind::kDecimalComma);
  const std::string text = RenderExplanation(kind);
  EXPECT_EQ(text.rfind("warning decimal-comma: " + std::string(kind.summary) +
                           "\nA warning: the files are compiled as written. "
                           "`--no-warn decimal-comma` silences it.\n",
                       0),
            0u)
      << text;
  EXPECT_NE(text.find("Wrong:\n    velocita,    9,000,   130\n"),
            std::string::npos)
      << text;
}

TEST(CodeExplanations, FindTakesOnlyACodeNumber) {
  struct Case {
    const char* text;
    std::int32_t code;  // 0: not found
  };
  constexpr Case kCases[] = {{"16", 16}, {"1250", 1250}, {"101", 101},
                             {"14", 0},  {"23", 0},      {"0", 0},
                             {"", 0},    {"16x", 0},     {" 16", 0},
                             {"-16", 0}, {"+16", 0},     {"99999999999", 0},
                             {"abc", 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    const CodeEntry* e = FindCodeExplanation(c.text);
    EXPECT_EQ(e == nullptr ? 0 : e->code, c.code);
  }
}

TEST(CodeExplanations, RenderedEntryHoldsSummaryRowsAndShortLines) {
  const std::string text = RenderExplanation(*FindCodeExplanation("16"));
  EXPECT_EQ(text.rfind("error 16: " + std::string(ExplainCode(16)) + "\n", 0),
            0u)
      << text;
  EXPECT_NE(text.find("Wrong:\n    # a maximum-speed board stands at 1000 m\n"
                      "    segnale,    1000,"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Right:\n    segnale,    1050,"), std::string::npos);
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find('\n', at);
    EXPECT_LE(end - at, 76u) << text.substr(at, end - at);
    at = end + 1;
  }
  // An entry with no example row says what to change all the same.
  const std::string no_rows = RenderExplanation(*FindCodeExplanation("10"));
  EXPECT_EQ(no_rows.find("Wrong:"), std::string::npos);
  EXPECT_NE(no_rows.find("What to change: "), std::string::npos);
}

TEST(CodeExplanations, HintNamesTheCommandToRun) {
  EXPECT_EQ(ExplainHint("16"), "(try: scenario-compiler explain 16)");
}

// The reference's page of codes is the table rendered: when an
// explanation changes, regenerate the page with
//   scenario-compiler explain --all > docs/error-codes.md
TEST(CodeExplanations, ReferencePageIsTheTableRendered) {
  std::ifstream in(SCENARIO_DOCS_DIR "/error-codes.md", std::ios::binary);
  ASSERT_TRUE(in) << "docs/error-codes.md is missing";
  const std::string page{std::istreambuf_iterator<char>(in),
                         std::istreambuf_iterator<char>()};
  EXPECT_EQ(page, RenderExplanationsMarkdown())
      << "regenerate docs/error-codes.md with `scenario-compiler explain "
         "--all`";
}

}  // namespace
}  // namespace scenario
