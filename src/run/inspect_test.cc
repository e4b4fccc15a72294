#include "run/inspect.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "model/cell_file.h"
#include "model/grid_file.h"
#include "model/line_grid.h"
#include "model/param_file.h"
#include "model/param_table.h"
#include "model/track_cells.h"

namespace scenario {
namespace {

TEST(Inspect, KindFromTheFileName) {
  EXPECT_EQ(BinaryKindFromName("d/Tarvo_Cembrio_linea.dat"), BinaryKind::kGrid);
  EXPECT_EQ(BinaryKindFromName("Tarvo_Cembrio_Exp 5147.dat"),
            BinaryKind::kCells);
  EXPECT_EQ(BinaryKindFromName("x.sim"), BinaryKind::kParams);
  EXPECT_FALSE(BinaryKindFromName("x.txt").has_value());
  EXPECT_EQ(BinaryKindFromWord("params"), BinaryKind::kParams);
  EXPECT_FALSE(BinaryKindFromWord("cell").has_value());
}

TEST(Inspect, RefusesImagesThatDoNotFitTheLayout) {
  const std::string kCases[][2] = {
      {"cells", std::string(14, '\0')},
      {"cells", ""},
      {"params", std::string(87 * 34 - 1, '\0')},
      {"params", std::string(87 * 34 + 1, '\0')},
      {"grid", std::string("\x07\x00", 2)},
      {"grid", std::string("\x00\x00", 2)},  // an x without its y
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c[0] + " " + std::to_string(c[1].size()));
    std::string out;
    std::string error;
    EXPECT_FALSE(
        InspectImage(c[1], *BinaryKindFromWord(c[0]), {}, &out, &error));
    EXPECT_NE(error.find("not a"), std::string::npos);
  }
  // A parameter file of 87 empty slots is accepted.
  std::string out;
  std::string error;
  EXPECT_TRUE(InspectImage(std::string(87 * 34, '\0'), BinaryKind::kParams, {},
                           &out, &error))
      << error;
}

TEST(Inspect, CellsListOnlyCellsWithItemsUnlessAllAreAsked) {
  TrackCells cells;
  cells.Create(4);
  cells[1].w2 = 5121;  // header values stand in a cell of kind 0
  cells[1].w4 = 2352;
  cells[3].kind = kKindSignal;
  cells[3].w2 = 52;
  cells[2].gradient = 100;  // a line property alone is not an item
  const std::string image = EncodeCellFile(cells);

  InspectOptions options;
  options.json = true;
  std::string out;
  std::string error;
  ASSERT_TRUE(InspectImage(image, BinaryKind::kCells, options, &out, &error));
  const nlohmann::json doc = nlohmann::json::parse(out);
  ASSERT_EQ(doc["cells"].size(), 2u);
  EXPECT_EQ(doc["cells"][0]["index"], 1);
  EXPECT_EQ(doc["cells"][0]["w2"], 5121);
  EXPECT_EQ(doc["cells"][0]["w4"], 2352);
  EXPECT_EQ(doc["cells"][1]["kind_name"], "signal");
  EXPECT_EQ(doc["last_cell"], 4);

  options.all = true;
  ASSERT_TRUE(InspectImage(image, BinaryKind::kCells, options, &out, &error));
  EXPECT_EQ(nlohmann::json::parse(out)["cells"].size(), 5u);

  options.json = false;
  options.all = false;
  ASSERT_TRUE(InspectImage(image, BinaryKind::kCells, options, &out, &error));
  EXPECT_NE(out.find("signal"), std::string::npos);
  EXPECT_NE(out.find("w2=5121"), std::string::npos);
}

TEST(Inspect, ParamsShowFieldNamesAndTextsAsUtf8) {
  ParamTable table;
  table[85].text = "Citt\xE0";
  table[85].int1 = 610;
  std::string out;
  std::string error;
  ASSERT_TRUE(InspectImage(EncodeParamFile(table), BinaryKind::kParams, {},
                           &out, &error));
  EXPECT_NE(out.find("slot 85:"), std::string::npos);
  EXPECT_NE(out.find("int1=610"), std::string::npos);
  EXPECT_NE(out.find("text=\"Citt\xC3\xA0\""), std::string::npos);
  EXPECT_EQ(out.find("slot 84:"), std::string::npos);  // empty slots hidden
}

TEST(Inspect, GridSummaryAndSamples) {
  LineGrid grid;
  grid.Create(2500);
  grid.SetInt16(0, 0, 0);
  grid.SetInt16(1, 0, 1);
  for (int m = 2; m <= 2498; ++m) grid.SetDouble(m, 0.0, m);
  InspectOptions options;
  options.json = true;
  options.grid_every = 1000;
  std::string out;
  std::string error;
  ASSERT_TRUE(InspectImage(EncodeGridFile(grid), BinaryKind::kGrid, options,
                           &out, &error))
      << error;
  const nlohmann::json doc = nlohmann::json::parse(out);
  EXPECT_EQ(doc["extended_length"], 2500);
  EXPECT_EQ(doc["int16"], 2);
  EXPECT_EQ(doc["empty"], 2);
  EXPECT_EQ(doc["double"], 2497);
  ASSERT_EQ(doc["samples"].size(), 4u);  // 0, 1000, 2000 and the last
  EXPECT_EQ(doc["samples"][1]["y"], 1000.0);
  EXPECT_EQ(doc["samples"][3]["tag"], "empty");
  EXPECT_EQ(doc["extent"]["max_y"], 2498.0);
}

}  // namespace
}  // namespace scenario
