#include "documents/scenario_notes.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "documents/text_writer.h"
#include "train/builtin_train.h"

namespace scenario {
namespace {

// Decodes UTF-8 into code points; nullopt on a malformed sequence.
std::optional<std::vector<char32_t>> DecodeUtf8(const std::string& text) {
  std::vector<char32_t> out;
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    std::size_t extra = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
      cp = lead;
    } else if ((lead & 0xe0) == 0xc0) {
      extra = 1;
      cp = lead & 0x1f;
    } else if ((lead & 0xf0) == 0xe0) {
      extra = 2;
      cp = lead & 0x0f;
    } else if ((lead & 0xf8) == 0xf0) {
      extra = 3;
      cp = lead & 0x07;
    } else {
      return std::nullopt;
    }
    if (extra > text.size() - i - 1) return std::nullopt;  // cut short
    for (std::size_t k = 1; k <= extra; ++k) {
      const unsigned char c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xc0) != 0x80) return std::nullopt;
      cp = (cp << 6) | (c & 0x3f);
    }
    out.push_back(cp);
    i += extra + 1;
  }
  return out;
}

// The notes' lines as code points, without the end marker.
std::vector<std::u32string> NotesText() {
  std::vector<std::string> lines = dati_note();
  EXPECT_FALSE(lines.empty());
  if (lines.empty()) return {};
  EXPECT_EQ(lines.back(), kEndMarker);
  lines.pop_back();
  std::vector<std::u32string> text;
  for (const std::string& line : lines) {
    const std::optional<std::vector<char32_t>> cps = DecodeUtf8(line);
    EXPECT_TRUE(cps.has_value()) << line;
    text.emplace_back(cps ? std::u32string(cps->begin(), cps->end())
                          : std::u32string());
  }
  return text;
}

// The running text of all lines, with hyphenated words joined again.
std::string JoinedNotes() {
  std::vector<std::string> lines = dati_note();
  std::string joined;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    std::string line = lines[i];
    if (!line.empty() && line.back() == '-') {
      line.pop_back();
    } else if (!line.empty() && line.back() != ' ') {
      line += ' ';
    }
    joined += line;
  }
  return joined;
}

TEST(ScenarioNotes, HyphenatedSplitsContinueTheWord) {
  const std::vector<std::u32string> text = NotesText();
  int splits = 0;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i].empty() || text[i].back() != U'-') continue;
    SCOPED_TRACE("line " + std::to_string(i + 1));
    ++splits;
    // A letter before the hyphen and a lower-case letter after the break:
    // a word cut in two, not a dash.
    ASSERT_GE(text[i].size(), 2u);
    const char32_t before = text[i][text[i].size() - 2];
    EXPECT_TRUE((before >= U'a' && before <= U'z'));
    ASSERT_FALSE(text[i + 1].empty());
    EXPECT_TRUE(text[i + 1][0] >= U'a' && text[i + 1][0] <= U'z');
  }
  EXPECT_GE(splits, 1);
}

TEST(ScenarioNotes, FiguresAgreeWithTheRun) {
  const std::string joined = JoinedNotes();
  const char* const kFigures[] = {
      "espresso 5147", "Tarvo Centrale", "Cembrio", "4 minuti",
      "dieci",         "semipilota",     "396 t",   "8 delle sue carrozze",
      "480 t",         "300 t",          "120 %",   "140 km/h",
      "rango B",       "non è certo",
  };
  for (const char* figure : kFigures) {
    EXPECT_NE(joined.find(figure), std::string::npos) << figure;
  }
}

// The number after the comma of the built-in train description's row that
// starts with keyword; nullopt when there is no such row.
std::optional<int> TrainGeneralValue(const std::string& keyword) {
  for (const std::string& row : dati_treno()) {
    if (row.rfind(keyword + ",", 0) != 0) continue;
    return std::stoi(row.substr(keyword.size() + 1));
  }
  return std::nullopt;
}

TEST(ScenarioNotes, FiguresAgreeWithTheTrainDescription) {
  // The notes are fixed text; this catches a change of the built-in train
  // that would leave them telling the driver something else.
  const std::optional<int> coaches = TrainGeneralValue("numero vetture");
  const std::optional<int> braked =
      TrainGeneralValue("percentuale massa frenata");
  if (!coaches || !braked) {
    GTEST_SKIP() << "the built-in train description has no general rows";
  }
  const std::string joined = JoinedNotes();
  EXPECT_NE(joined.find(std::to_string(*coaches) + " delle sue carrozze"),
            std::string::npos);
  EXPECT_NE(joined.find("del " + std::to_string(*braked) + " %"),
            std::string::npos);
}

}  // namespace
}  // namespace scenario
