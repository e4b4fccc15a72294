#include "plot/sheet_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "model/cell_item_json.h"
#include "model/kilometre_axis.h"
#include "model/param_table.h"
#include "plot/scenario_sheet.h"
#include "plot/small_scenario_testing.h"

namespace scenario {
namespace {

using nlohmann::json;

class SheetPage : public testing::Test {
 protected:
  SheetScenario Scenario() const {
    SheetScenario s;
    s.cells = &data_.cells;
    s.table = &data_.table;
    s.grid = &data_.grid;
    s.line_name = "Tarvo_Cembrio";
    s.train_name = "Exp 5147";
    return s;
  }

  // The JSON the page's script reads.
  static json EmbeddedData(const std::string& page) {
    const std::string open =
        "<script type=\"application/json\" id=\"sheet-data\">";
    const std::size_t from = page.find(open);
    EXPECT_NE(from, std::string::npos);
    const std::size_t start = from + open.size();
    const std::size_t end = page.find("</script>", start);
    EXPECT_NE(end, std::string::npos);
    return json::parse(page.substr(start, end - start));
  }

  static std::size_t Count(std::string_view text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos;
         at = text.find(what, at + 1)) {
      ++n;
    }
    return n;
  }

  SmallScenarioData data_;
};

TEST_F(SheetPage, EmbedsTheSheetsOwnDrawing) {
  const std::string svg = DrawScenarioSheet(Scenario(), SheetOptions{});
  SheetGeometry geometry;
  EXPECT_EQ(DrawScenarioSheet(Scenario(), SheetOptions{}, &geometry), svg);
  const std::string page = DrawSheetPage(Scenario(), SheetOptions{});
  const std::size_t svg_start = svg.find("<svg");
  ASSERT_NE(svg_start, std::string::npos);
  EXPECT_NE(page.find(svg.substr(svg_start)), std::string::npos);
  EXPECT_EQ(page.find("<?xml"), std::string::npos);

  // Where the drawing put its axis and its plan.
  EXPECT_EQ(geometry.axis_from, 0);
  EXPECT_EQ(geometry.axis_to, 5000);
  EXPECT_GT(geometry.axis_width, 0);
  EXPECT_LT(geometry.profiles_top, geometry.profiles_bottom);
  EXPECT_LT(geometry.profiles_bottom, geometry.height);
  ASSERT_FALSE(geometry.plan.empty());
  EXPECT_EQ(geometry.plan.front().position, 0);
  EXPECT_EQ(geometry.plan.back().position, 11998);  // the last usable metre
}

TEST_F(SheetPage, LoadsNothingFromElsewhere) {
  const std::string page = DrawSheetPage(Scenario(), SheetOptions{});
  EXPECT_NE(page.find("Content-Security-Policy\" content=\"default-src 'none'"),
            std::string::npos);
  for (const char* reference : {" src=", " href=", "@import"}) {
    SCOPED_TRACE(reference);
    EXPECT_EQ(page.find(reference), std::string::npos);
  }
  // url() only names the page's own elements.
  for (std::size_t at = page.find("url("); at != std::string::npos;
       at = page.find("url(", at + 1)) {
    EXPECT_EQ(page.substr(at, 5), "url(#");
  }
  // The one address in the page is the SVG namespace, which is no request.
  EXPECT_EQ(Count(page, "://"), Count(page, "xmlns=\"http://www.w3.org/"));
}

TEST_F(SheetPage, DataHasTheProfileItemsStationsAndReadings) {
  const json data = EmbeddedData(DrawSheetPage(Scenario(), SheetOptions{}));
  EXPECT_EQ(data["km"], json::parse("[[3000, 500]]"));
  EXPECT_EQ(data["cells"], 241);
  EXPECT_EQ(data["geometry"]["to"], 5000);

  // [cell, gradient, limit, in force, adhesion, mountain] where any
  // changes: the slowdown from cell 32 to 42 holds 60 km/h under 95.
  const json& profile = data["profile"];
  const json expected = json::parse(
      "[[0, 0, 30, 30, 76, 0], [20, 0, 95, 95, 76, 0],"
      " [32, 0, 95, 60, 76, 0], [40, -11, 95, 60, 76, 0],"
      " [42, -11, 95, 95, 76, 0], [238, -100, 0, 0, 0, 0]]");
  EXPECT_EQ(profile, expected);

  // Each cell's content is the entry inspect --json gives it.
  const std::optional<KilometreAxis> km(std::in_place, data_.table);
  const json& items = data["items"];
  const auto signal =
      std::find_if(items.begin(), items.end(),
                   [](const json& i) { return i["cell"] == 22; });
  ASSERT_NE(signal, items.end());
  json listed = CellItemJson(data_.cells[22], 22, &data_.table, km);
  listed.erase("fields");
  json shown = *signal;
  shown.erase("fields");
  EXPECT_EQ(shown, listed);
  EXPECT_EQ((*signal)["name"], "signal");
  EXPECT_EQ((*signal)["position"], 1050);
  // The fields in row order, with their units.
  const auto board =
      std::find_if(items.begin(), items.end(),
                   [](const json& i) { return i["cell"] == 21; });
  ASSERT_NE(board, items.end());
  EXPECT_EQ((*board)["fields"][0], json::parse("[\"vas\", 90, \"km/h\"]"));
  EXPECT_EQ((*board)["fields"][1], json::parse("[\"vbs\", 95, \"km/h\"]"));

  const json& stations = data["stations"];
  ASSERT_EQ(stations.size(), 3u);
  EXPECT_EQ(stations[1]["name"], "Citt\xC3\xA0 <Alta> & Bassa");
  EXPECT_EQ(stations[2]["km"], "5+000");  // 4500 m, 500 m ahead
}

TEST_F(SheetPage, TextFromTheFilesCannotCloseTheScript) {
  data_.table[3].text = "</script><script>alert(1)</script>";
  const std::string page = DrawSheetPage(Scenario(), SheetOptions{});
  // The data's end and the script's: no other.
  EXPECT_EQ(Count(page, "</script>"), 2u);
  EXPECT_EQ(EmbeddedData(page)["stations"][2]["name"],
            "</script><script>alert(1)</script>");
}

// Whatever the decoded files hold, the page's data is valid JSON (any text
// from the files, numbers that are finite) and cannot end its script.
TEST_F(SheetPage, GarbageContentStillGivesValidData) {
  std::uint32_t seed = 4321;
  const auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
  };
  for (TrackCell& c : data_.cells) {
    c.kind = static_cast<std::uint8_t>(next() % 16);
    c.w2 = static_cast<std::int16_t>(next());
    c.w4 = static_cast<std::int16_t>(next());
    c.b10 = static_cast<std::uint8_t>(next());
    c.b11 = static_cast<std::uint8_t>(next());
    c.speed_step = static_cast<std::uint8_t>(next());
    c.gradient = static_cast<std::uint8_t>(next());
  }
  for (int slot = 0; slot < kParamSlotCount; ++slot) {
    std::string text = "</";
    for (int i = 0; i < 12; ++i) text += static_cast<char>(next());
    data_.table[slot].text = text;
    data_.table[slot].long1 = static_cast<std::int32_t>(next() << 8);
    data_.table[slot].long2 = static_cast<std::int32_t>(next() << 8);
    data_.table[slot].long3 = static_cast<std::int32_t>(next() << 8);
  }
  data_.grid.SetDouble(500, std::numeric_limits<double>::quiet_NaN(), 1);
  data_.grid.SetDouble(501, std::numeric_limits<double>::infinity(), 1);
  const std::string page = DrawSheetPage(Scenario(), SheetOptions{});
  EXPECT_EQ(Count(page, "</script>"), 2u);
  const json data = EmbeddedData(page);
  EXPECT_EQ(data["cells"], data_.cells.size());
  for (const json& point : data["plan"]) {
    for (const json& v : point) EXPECT_TRUE(v.is_number()) << point;
  }
}

}  // namespace
}  // namespace scenario
