#include "lsp/description_rows.h"

#include <gtest/gtest.h>

namespace scenario {
namespace {

TEST(DescriptionRows, LinesAreCutAsTheFieldSyntaxCutsThem) {
  struct Case {
    DescriptionKind file;
    const char* line;
    const char* title;  // "" for no row
    std::vector<std::string> values;
  };
  const Case cases[] = {
      // Numbers also end at a blank.
      {DescriptionKind::kTrain,
       "orologio,    17              15            30 ",
       "clock",
       {"17", "15", "30"}},
      // The name runs to the end of the row, blanks and dashes included.
      {DescriptionKind::kTrain,
       "stazione,  3100, 22, 400, 0,0,0, 2,1,0, 2,1,0, 60, 17,18,0, San-Rocco "
       "Alto",
       "station",
       {"3100", "22", "400", "0", "0", "0", "2", "1", "0", "2", "1", "0", "60",
        "17", "18", "0", "San-Rocco Alto"}},
      // Empty number fields stay empty (they read as 0).
      {DescriptionKind::kLine,
       "indicatori_vmax,  1000,  90,  95,  100,  0,  ,  ,  ,  0",
       "maximum-speed board",
       {"1000", "90", "95", "100", "0", "", "", "", "0"}},
      // Any case here, exact case there, as the readers test them.
      {DescriptionKind::kTrain,
       "Velocita,  0,  30",
       "speed limit",
       {"0", "30"}},
      {DescriptionKind::kLine, "Sfondo uno,  1", "", {"1"}},
      {DescriptionKind::kLine,
       "curvad2,  89250,  150",
       "curve",
       {"89250", "150"}},
      {DescriptionKind::kLine, "[curve]", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const WrittenRow row = ReadWrittenRow(c.file, c.line);
    EXPECT_EQ(row.kind == nullptr ? "" : row.kind->title, c.title);
    EXPECT_EQ(row.values, c.values);
  }
}

TEST(DescriptionRows, SectionHeadersStandAlone) {
  EXPECT_EQ(SectionHeaderOf("  [stazioni]  "), "[stazioni]");
  EXPECT_EQ(SectionHeaderOf("[a], 5"), "");
  EXPECT_EQ(SectionHeaderOf("stazione, [x]"), "");
}

}  // namespace
}  // namespace scenario
