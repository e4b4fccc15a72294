#include "tools/notepadpp_language.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "line/description_layout.h"
#include "plot/svg_testing.h"

namespace scenario {
namespace {

// A Notepad++ keyword list: blank-parted words, a keyword with blanks in
// double quotes.
std::vector<std::string> SplitKeywords(const std::string& list) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < list.size()) {
    if (list[i] == ' ') {
      ++i;
      continue;
    }
    const bool quoted = list[i] == '"';
    const std::size_t start = quoted ? i + 1 : i;
    std::size_t end = list.find(quoted ? '"' : ' ', start);
    if (end == std::string::npos) end = list.size();
    words.push_back(list.substr(start, end - start));
    i = end + 1;
  }
  return words;
}

TEST(NotepadPlusPlusLanguage, ListsExactlyTheKeywordTable) {
  const ParsedSvg xml(NotepadPlusPlusLanguage());
  ASSERT_TRUE(xml.ok());
  const std::vector<ParsedSvg::Element> language =
      xml.Elements("/NotepadPlus/UserLang");
  ASSERT_EQ(language.size(), 1u);
  EXPECT_EQ(language[0].Get("name"), kNotepadPlusPlusLanguageName);
  EXPECT_EQ(language[0].Get("udlVersion"), "2.1");
  EXPECT_EQ(language[0].Get("ext"), "txt");

  std::vector<std::string> listed;
  for (int i = 1; i <= 8; ++i) {
    const std::vector<std::string> lists = xml.Strings(
        "//KeywordLists/Keywords[@name='Keywords" + std::to_string(i) + "']");
    ASSERT_EQ(lists.size(), 1u) << "Keywords" << i;
    for (std::string& word : SplitKeywords(lists[0])) {
      listed.push_back(std::move(word));
    }
  }
  std::vector<std::string> table;
  for (int k = 0; k < kRowKindCount; ++k) {
    for (std::string& form : RowKindKeywordForms(static_cast<RowKind>(k))) {
      table.push_back(std::move(form));
    }
  }
  std::sort(listed.begin(), listed.end());
  std::sort(table.begin(), table.end());
  EXPECT_EQ(listed, table);
}

// Each of the format's styles once, so that an import styles every group.
TEST(NotepadPlusPlusLanguage, StylesEveryGroupOnce) {
  const ParsedSvg xml(NotepadPlusPlusLanguage());
  ASSERT_TRUE(xml.ok());
  for (const char* name :
       {"DEFAULT", "COMMENTS", "LINE COMMENTS", "NUMBERS", "KEYWORDS1",
        "KEYWORDS8", "OPERATORS", "DELIMITERS1", "DELIMITERS8"}) {
    EXPECT_EQ(
        xml.Count(std::string("//Styles/WordsStyle[@name='") + name + "']"), 1u)
        << name;
  }
}

}  // namespace
}  // namespace scenario
