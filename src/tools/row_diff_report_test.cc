#include "tools/row_diff_report.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "tools/row_diff.h"

namespace scenario {
namespace {

RowDiff Sample() {
  RowDiff diff;
  RowChange moved;
  moved.half = RowHalf::kTrain;
  moved.kind = RowKind::kSlowdown;
  moved.change = RowChangeKind::kMoved;
  moved.old_position = 17000;
  moved.new_position = 17500;
  moved.fields.push_back({"v", std::int64_t{30}, std::int64_t{40}, "km/h"});
  RowChange station;
  station.half = RowHalf::kTrain;
  station.kind = RowKind::kStation;
  station.change = RowChangeKind::kRemoved;
  station.old_position = 3100;
  // A name as the files may hold it: an accented letter, and an escape
  // that must not reach a terminal.
  station.station = "Citt\xc3\xa0\x1b[2J";
  station.fields.push_back({"time", std::string("17:18:00"), {}, ""});
  RowChange run;
  run.kind = RowKind::kGradient;
  run.old_position = run.new_position = 1250;
  run.run = true;
  run.fields.push_back(
      {"gradient", std::int64_t{-4}, std::int64_t{-5}, "per mille"});
  RowChange length;
  length.kind = RowKind::kLength;
  length.change = RowChangeKind::kAdded;
  length.fields.push_back({"length", {}, std::int64_t{1000}, "m"});
  diff.changes = {length, run, moved, station};
  return diff;
}

TEST(RowDiffReport, TextNamesEachChangeOnALine) {
  EXPECT_EQ(FormatRowDiffText(Sample()),
            "line length added: 1000 m\n"
            "gradient from 1250 m: -4 -> -5 per mille\n"
            "slowdown at 17000 m moved to 17500 m, v 30 -> 40 km/h\n"
            "station \"Citt\xc3\xa0\\x1b[2J\" removed at 3100 m\n");
  EXPECT_EQ(FormatRowDiffText(RowDiff{}), "");
}

TEST(RowDiffReport, JsonHoldsPositionsAndOldAndNewOfEachField) {
  const nlohmann::json doc = nlohmann::json::parse(FormatRowDiffJson(Sample()));
  EXPECT_FALSE(doc["identical"].get<bool>());
  const nlohmann::json& c = doc["changes"];
  ASSERT_EQ(c.size(), 4u);
  EXPECT_FALSE(c[0].contains("position"));
  EXPECT_EQ(c[0]["fields"]["length"]["old"], nullptr);
  EXPECT_EQ(c[0]["fields"]["length"]["new"], 1000);
  EXPECT_EQ(c[1]["description"], "line");
  EXPECT_EQ(c[1]["position"], 1250);
  EXPECT_EQ(c[1]["run"], true);
  EXPECT_EQ(c[2]["description"], "train");
  EXPECT_EQ(c[2]["kind"], "slowdown");
  EXPECT_EQ(c[2]["change"], "moved");
  EXPECT_EQ(c[2]["old_position"], 17000);
  EXPECT_EQ(c[2]["new_position"], 17500);
  EXPECT_EQ(c[2]["fields"]["v"],
            (nlohmann::json{{"old", 30}, {"new", 40}, {"unit", "km/h"}}));
  EXPECT_EQ(c[3]["station"], "Citt\xc3\xa0\x1b[2J");
  EXPECT_EQ(c[3]["fields"]["time"]["old"], "17:18:00");

  const nlohmann::json same = nlohmann::json::parse(FormatRowDiffJson({}));
  EXPECT_TRUE(same["identical"].get<bool>());
  EXPECT_TRUE(same["changes"].empty());
}

}  // namespace
}  // namespace scenario
