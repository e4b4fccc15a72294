#include "model/cell_items.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "model/param_table.h"

namespace scenario {
namespace {

TrackCell Cell(std::uint8_t kind, std::int16_t w2, std::int16_t w4 = 0,
               std::int16_t w6 = 0, std::int16_t w8 = 0, std::uint8_t b10 = 0) {
  TrackCell c;
  c.kind = kind;
  c.w2 = w2;
  c.w4 = w4;
  c.w6 = w6;
  c.w8 = w8;
  c.b10 = b10;
  return c;
}

// "name=value unit" for each field, joined by blanks.
std::string Render(const std::vector<ItemField>& fields) {
  std::string out;
  for (const ItemField& f : fields) {
    if (!out.empty()) out += ' ';
    out += f.name + '=';
    if (const auto* n = std::get_if<std::int64_t>(&f.value)) {
      out += std::to_string(*n);
    } else {
      out += '"' + std::get<std::string>(f.value) + '"';
    }
    if (!f.unit.empty()) out += ' ' + f.unit;
  }
  return out;
}

TEST(CellItems, FieldsNameTheRowsValues) {
  ParamTable table;
  table[3].text = "Citt\xe0";  // Windows-1252
  table[80].text = "(Dev.I.)";
  struct Case {
    const char* what;
    TrackCell cell;
    std::int64_t index;
    const char* name;
    const char* fields;
  };
  const Case kCases[] = {
      // "segnale, 1050, 2, 5, 1, 1, 0, 2, 2, 1, 1, 255"
      {"signal", Cell(1, 52, 11, 11, 8, 255), 22, "signal",
       "sx=2 s1=5 s2=1 s3=1 rapp=0 dx=2 d1=2 d2=1 d3=1 tempo=255"},
      {"signal with rapp", Cell(1, 30, 10, 10, 16), 46, "signal",
       "sx=2 s1=3 s2=1 s3=1 rapp=1 dx=0 d1=0 d2=0 d3=0 tempo=0"},
      // "indicatori_vmax, 26350, 130, 140, 145, 2, 130, 140, 145, 2"
      {"board, both sets", Cell(6, 2626, 2828, 2929, 22), 528,
       "maximum-speed board",
       "vas=130 km/h vbs=140 km/h vcs=145 km/h strisces=2 vad=130 km/h "
       "vbd=140 km/h vcd=145 km/h strisced=2"},
      {"board, s set only", Cell(6, 1800, 1900, 2000, 0), 21,
       "maximum-speed board",
       "vas=90 km/h vbs=95 km/h vcs=100 km/h strisces=0 vad=0 km/h "
       "vbd=0 km/h vcd=0 km/h strisced=0"},
      {"slowdown start", Cell(3, 60, 0, 7), 50, "slowdown start",
       "v=60 km/h d_v=0 f_tt=7"},
      {"warning board keeps a stray w6", Cell(4, 60, 0, 9), 26,
       "slowdown warning board", "v=60 km/h d_v=0 w6=9"},
      {"pre-warning", Cell(5, 2, 2), 24, "pre-warning cell", "n=2 n for d_v=2"},
      {"stop mark", Cell(10, 3), 67, "stop mark",
       "station=3 name=\"Citt\xc3\xa0\""},
      {"indicator board", Cell(14, 80), 561, "indicator board",
       "slot=80 text=\"(Dev.I.)\""},
      {"indicator board, no such slot", Cell(14, 200), 561, "indicator board",
       "slot=200"},
      {"code mark", Cell(12, 270), 141, "code mark", "code=270"},
      {"mountain-side mark", Cell(11, 0), 178, "mountain-side mark", ""},
      {"header", Cell(0, 5121, 2352), 1, "header", "mark=5121 race code=2352"},
      {"words without a kind", Cell(0, 0, 0, 0, 0, 9), 7,
       "values without a kind", "b10=9"},
      {"unknown kind", Cell(8, 1, 0, 0, -2), 9, "kind 8", "w2=1 w8=-2"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_TRUE(HasItem(c.cell));
    EXPECT_EQ(ItemName(c.cell, c.index), c.name);
    EXPECT_EQ(Render(ItemFields(c.cell, c.index, &table)), c.fields);
  }
  // Without a table the texts are left out.
  EXPECT_EQ(Render(ItemFields(Cell(10, 3), 67, nullptr)), "station=3");
}

TEST(CellItems, PositionFollowsTheRuleThatPlacedTheItem) {
  struct Case {
    std::uint8_t kind;
    std::int64_t cell;
    double position;
  };
  const Case kCases[] = {
      {kKindSignal, 22, 1050},
      {kKindSpeedBoard, 21, 1000},
      {kKindIndicatorBoard, 561, 28000},
      {kKindSlowdownStart, 32, 1550},
      {kKindCodeMark, 141, 7050},
      {kKindCodeOff, 141, 7050},
      {kKindPreWarning, 7, 350},
      {kKindMountainMark, 178, 8900},
      {kKindNone, 1, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    EXPECT_EQ(ItemPosition(Cell(c.kind, 0), c.cell), c.position);
  }
}

TEST(CellItems, ItemsWithEqualFieldsHoldEqualWords) {
  // The diff of two scenarios compares fields, not bytes: two cells of a
  // kind whose words differ must never decode to the same fields, also
  // for values no row would give.
  const std::int16_t kWords[] = {-32768, -101, -10, -1,  0,    1,    9,
                                 10,     99,   100, 101, 2626, 32767};
  for (const std::uint8_t kind :
       {kKindSignal, kKindSpeedBoard, kKindSlowdownStart, kKindPreWarning,
        kKindCodeMark, kKindNone}) {
    SCOPED_TRACE(static_cast<int>(kind));
    std::set<std::tuple<int, int, int, int, int>> words;
    std::set<std::string> fields;
    for (const std::int16_t a : kWords) {
      for (const std::int16_t b : kWords) {
        // Two words at a time: w2 with w8, and w6 with b10.
        const std::uint8_t low = static_cast<std::uint8_t>(b & 0xff);
        for (const TrackCell& c :
             {Cell(kind, a, 0, 0, b), Cell(kind, 0, 0, a, 0, low)}) {
          words.insert({c.w2, c.w4, c.w6, c.w8, c.b10});
          fields.insert(Render(ItemFields(c, 5, nullptr)));
        }
      }
    }
    EXPECT_EQ(fields.size(), words.size());
  }
}

}  // namespace
}  // namespace scenario
