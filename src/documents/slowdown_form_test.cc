#include "documents/slowdown_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "documents/text_writer.h"

namespace scenario {
namespace {

constexpr std::size_t kFormLines = 46;

// The form's lines without the end marker; fails the test when the marker
// is missing or not last.
std::vector<std::string> FormLines() {
  std::vector<std::string> lines = dati_rallentamenti();
  EXPECT_EQ(lines.size(), kFormLines + 1);
  EXPECT_FALSE(lines.empty());
  if (lines.empty()) return lines;
  EXPECT_EQ(lines.back(), kEndMarker);
  lines.pop_back();
  return lines;
}

// The "|" of every table line, counted from 1.
constexpr std::array<std::size_t, 7> kBarColumns = {2, 6, 35, 48, 59, 69, 82};

// A table line built from its six cell texts, each padded to the cell's
// width; the widths follow from the bar columns.
std::string TableLine(const std::array<std::string, 6>& cells, char fill) {
  std::string line = " |";
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const std::size_t width = kBarColumns[i + 1] - kBarColumns[i] - 1;
    std::string cell = cells[i];
    cell.resize(width, fill);
    line += cell + "|";
  }
  return line;
}

TEST(SlowdownForm, HasFortySixLinesClosedByTheEndMarker) {
  const std::vector<std::string> lines = dati_rallentamenti();
  ASSERT_EQ(lines.size(), kFormLines + 1);
  EXPECT_EQ(lines.back(), kEndMarker);
  // The marker stands only at the end: the writer would stop early at any
  // earlier copy.
  EXPECT_EQ(std::count(lines.begin(), lines.end(), kEndMarker), 1);
}

TEST(SlowdownForm, EveryLineIsExact) {
  const std::vector<std::string> lines = FormLines();
  ASSERT_EQ(lines.size(), kFormLines);

  const std::string rule = TableLine(
      {"___", std::string(28, '_'), std::string(12, '_'), std::string(10, '_'),
       std::string(9, '_'), std::string(12, '_')},
      '_');
  const std::string empty_row = TableLine({"", "", "", "", "", ""}, ' ');

  std::vector<std::string> expected = {
      "",
      std::string(31, ' ') + "Modulo M. 3",
      std::string(27, ' ') + "ORDINE DI RALLENTAMENTO",
      " " + std::string(80, '_'),
      "  Linea  xxxxxx xxxxxxx",
      "",
      "  Si ordina al macchinista del treno xxxxx di effettuare i seguenti "
      "rallentamenti",
      "  " + std::string(79, '_'),
      TableLine({"   ", "", "Inizio dopo ", "", "", ""}, ' '),
      TableLine({" N.", "      FRA LE STAZIONI", " il cippo", " Velocita'",
                 "Lunghezza", "Prescrizioni"},
                ' '),
      TableLine({"", "   (o nelle Stazioni di)", "chilometrico", "", "   metri",
                 " specifiche"},
                ' '),
      rule,
  };
  expected.insert(expected.end(), 26, empty_row);
  expected.insert(
      expected.end(),
      {rule, "", std::string(14, ' ') + "Prescrizioni specifiche",
       " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
       " B - Interessa anche la stazione di.......",
       // Deliberate misspelling, as on the printed form.
       " D - Rallentamneto N. ... e N. ...  sono contigui",
       " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
       "     i giorni esclusi i seguenti:........."});
  ASSERT_EQ(expected.size(), kFormLines);

  for (std::size_t i = 0; i < kFormLines; ++i) {
    SCOPED_TRACE("line " + std::to_string(i + 1));
    EXPECT_EQ(lines[i], expected[i]);
  }
}

TEST(SlowdownForm, LineWidths) {
  const std::vector<std::string> lines = FormLines();
  ASSERT_EQ(lines.size(), kFormLines);
  std::vector<std::size_t> widths = {0,  42, 50, 81, 23, 0,
                                     81, 81, 82, 82, 82, 82};
  widths.insert(widths.end(), 26, 82);
  widths.insert(widths.end(), {82, 0, 37, 63, 42, 49, 58, 42});
  ASSERT_EQ(widths.size(), kFormLines);
  for (std::size_t i = 0; i < kFormLines; ++i) {
    SCOPED_TRACE("line " + std::to_string(i + 1));
    EXPECT_EQ(lines[i].size(), widths[i]);
  }
}

TEST(SlowdownForm, TableBarsStandInTheirColumnsOnly) {
  const std::vector<std::string> lines = FormLines();
  ASSERT_EQ(lines.size(), kFormLines);
  for (std::size_t i = 8; i <= 38; ++i) {  // lines 9 to 39
    SCOPED_TRACE("line " + std::to_string(i + 1));
    std::vector<std::size_t> bars;
    for (std::size_t c = 0; c < lines[i].size(); ++c) {
      if (lines[i][c] == '|') bars.push_back(c + 1);
    }
    EXPECT_EQ(bars,
              std::vector<std::size_t>(kBarColumns.begin(), kBarColumns.end()));
    EXPECT_EQ(lines[i][0], ' ');
  }
}

TEST(SlowdownForm, TwentySixEmptyRowsBetweenTheRules) {
  const std::vector<std::string> lines = FormLines();
  ASSERT_EQ(lines.size(), kFormLines);
  const std::string& rule = lines[11];  // line 12
  EXPECT_EQ(lines[38], rule);           // line 39
  EXPECT_EQ(std::count(lines.begin(), lines.end(), rule), 2);
  for (std::size_t i = 12; i < 38; ++i) {  // lines 13 to 38
    SCOPED_TRACE("line " + std::to_string(i + 1));
    EXPECT_EQ(lines[i].find_first_not_of(" |"), std::string::npos);
  }
}

TEST(SlowdownForm, WrittenAsPrintableAsciiLinesWithoutTheMarker) {
  // Plain printable ASCII: the file holds the lines as they stand, each
  // followed by CR LF, and nothing after the last one.
  std::string expected;
  for (const std::string& line : FormLines()) {
    for (const char c : line) {
      const unsigned char u = static_cast<unsigned char>(c);
      EXPECT_TRUE(u >= 0x20 && u < 0x7f) << line;
    }
    expected += line + "\r\n";
  }
  const std::optional<std::string> file = EncodeTextFile(dati_rallentamenti());
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(*file, expected);
}

}  // namespace
}  // namespace scenario
