#include "line/description_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "line/line_keywords.h"
#include "train/train_keywords.h"

namespace scenario {
namespace {

bool IsGeneralRow(RowKind kind) {
  return RowKindFile(kind) == DescriptionFile::kLine &&
         RowKindSection(kind) == "[generale]";
}

// The tests a keyword passes where its row kind is read.
RowKindSet ReadersTests(RowKind kind, std::string_view keyword) {
  if (RowKindFile(kind) == DescriptionFile::kTrain) {
    return TrainRowKinds(keyword);
  }
  return IsGeneralRow(kind) ? LineGeneralRowKinds(keyword)
                            : LineMainRowKinds(keyword);
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(c));
  return text;
}

// What the editors colour and insert is what the readers read: each form
// makes exactly its own row, in exact case where the reader asks for it.
TEST(DescriptionLayout, EveryKeywordFormIsReadAsItsOwnRowOnly) {
  for (int k = 0; k < kRowKindCount; ++k) {
    const RowKind kind = static_cast<RowKind>(k);
    const std::vector<std::string> forms = RowKindKeywordForms(kind);
    ASSERT_FALSE(forms.empty());
    EXPECT_EQ(forms.front(), RowKindKeyword(kind));
    for (const std::string& form : forms) {
      SCOPED_TRACE(form);
      EXPECT_EQ(ReadersTests(kind, form), RowBit(kind));
      const bool upper_read = ReadersTests(kind, Upper(form)) == RowBit(kind);
      EXPECT_EQ(upper_read, !RowKindKeywordExactCase(kind));
    }
  }
}

TEST(DescriptionLayout, EveryRowStandsUnderAHeaderOfItsFile) {
  for (const DescriptionFile file :
       {DescriptionFile::kLine, DescriptionFile::kTrain}) {
    const std::span<const std::string_view> sections =
        DescriptionSections(file);
    ASSERT_GE(sections.size(), 2u);
    EXPECT_EQ(sections.front(), "[generale]");
    EXPECT_EQ(sections.back(), "[fine]");
    for (const RowKind kind : RowKindsOfFile(file)) {
      SCOPED_TRACE(std::string(RowKindName(kind)));
      EXPECT_NE(
          std::find(sections.begin(), sections.end(), RowKindSection(kind)),
          sections.end());
    }
  }
  EXPECT_EQ(RowKindsOfFile(DescriptionFile::kLine).size() +
                RowKindsOfFile(DescriptionFile::kTrain).size(),
            static_cast<std::size_t>(kRowKindCount));
}

// The twelve curves differ in side and class, which the reader takes from
// the keyword: no two forms alike.
TEST(DescriptionLayout, CurveAndRepetitionFormsAreDistinct) {
  for (const RowKind kind : {RowKind::kCurve, RowKind::kRepetition}) {
    std::vector<std::string> forms = RowKindKeywordForms(kind);
    const std::size_t count = forms.size();
    std::sort(forms.begin(), forms.end());
    forms.erase(std::unique(forms.begin(), forms.end()), forms.end());
    EXPECT_EQ(forms.size(), count);
  }
  EXPECT_EQ(RowKindKeywordForms(RowKind::kCurve).size(), 12u);
  EXPECT_EQ(RowKindKeywordForms(RowKind::kRepetition).size(), 2u);
}

}  // namespace
}  // namespace scenario
