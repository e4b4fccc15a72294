#include "lint/code_explanations.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "lint/warnings.h"
#include "model/diagnostics.h"

namespace scenario {
namespace {

// Every code the program can record has a one-line message (ExplainCode);
// every such code needs a long explanation, and no explanation may name a
// code that cannot be recorded. The walk covers the whole range a code
// could take.
TEST(CodeExplanations, CoverEveryCodeThatCanBeRecorded) {
  std::set<std::int32_t> recordable;
  for (std::int32_t code = -1000; code <= 100000; ++code) {
    if (!ExplainCode(code).empty()) recordable.insert(code);
  }
  std::set<std::int32_t> explained;
  std::int32_t previous = 0;
  for (const CodeExplanation& e : CodeExplanations()) {
    SCOPED_TRACE(e.code);
    EXPECT_GT(e.code, previous) << "the table is in increasing order";
    previous = e.code;
    explained.insert(e.code);
    EXPECT_FALSE(e.cause.empty());
    EXPECT_FALSE(e.fix.empty());
    EXPECT_EQ(e.wrong.empty(), e.right.empty());
    if (!e.wrong.empty()) {
      EXPECT_NE(e.wrong, e.right);
    }
    EXPECT_TRUE(e.file == "line" || e.file == "train" || e.file == "both" ||
                e.file.empty());
  }
  EXPECT_EQ(explained, recordable);
  EXPECT_TRUE(recordable.count(1250));
  EXPECT_FALSE(recordable.count(14));
}

// Every warning kind has its long explanation under its stable name, in the
// order of the kinds.
TEST(CodeExplanations, CoverEveryWarningKind) {
  const std::span<const WarningKindInfo> kinds = WarningKinds();
  const std::span<const WarningExplanation> entries = WarningExplanations();
  ASSERT_EQ(entries.size(), kinds.size());
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    SCOPED_TRACE(kinds[i].name);
    EXPECT_EQ(entries[i].name, kinds[i].name);
    EXPECT_EQ(FindWarningExplanation(kinds[i].name), &entries[i]);
    EXPECT_FALSE(entries[i].cause.empty());
    EXPECT_FALSE(entries[i].fix.empty());
    EXPECT_EQ(entries[i].wrong.empty(), entries[i].right.empty());
  }
  EXPECT_EQ(FindWarningExplanation("16"), nullptr);
  EXPECT_EQ(FindWarningExplanation("Decimal-comma"), nullptr);
  const std::string text =
      RenderExplanation(*FindWarningExplanation("decimal-comma"));
  EXPECT_EQ(
      text.rfind("warning decimal-comma: " +
                     std::string(Describe(WarningKind::kDecimalComma).summary) +
                     "\n",
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
    const CodeExplanation* e = FindCodeExplanation(c.text);
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
