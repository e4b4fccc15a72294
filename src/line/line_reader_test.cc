#include "line/line_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "line/field_reader.h"
#include "model/errors.h"
#include "model/grid_file.h"

namespace scenario {
namespace {

// error_position before every read, to show where a code leaves it alone.
constexpr std::int32_t kUntouched = -424242;

struct ReadResult {
  std::unique_ptr<Scenario> s;
  LineHandover handover;
  bool faulted = false;
  std::string fault_message;
};

// Reads text as the line file of a fresh scenario, catching a fault as the
// caller's handler would.
ReadResult Read(const std::string& text, std::int32_t write_line_file = 1,
                bool keep_plan_runs = false) {
  ReadResult r;
  r.s = std::make_unique<Scenario>();
  r.s->keep_plan_runs = keep_plan_runs;
  r.s->line_name = "Tarvo_Cembrio";
  r.s->train_name = "Exp 5147";
  r.s->param_table[kLineSlot].text = r.s->line_name;
  r.s->param_table[kTrainSlot].text = r.s->train_name;
  r.s->write_line_file = write_line_file;
  r.s->errors.error_position = kUntouched;
  FieldReader fields(text, "Tarvo_Cembrio_linea.txt");
  try {
    r.handover = ReadLineDescription(*r.s, fields);
  } catch (const Fault& fault) {
    r.faulted = true;
    r.fault_message = fault.message();
  }
  return r;
}

// A line of 10000 m (extended_length 17000, last_cell 340) with rows after
// the general part. The file closes with "[fine]", which is never read.
std::string Line(const std::string& rows, int length = 10000) {
  return "[generale]\r\nlunghezza percorso, " + std::to_string(length) +
         "\r\n[curve]\r\n" + rows + "[fine]\r\n";
}

// The heading change at plan metre m: P(m) - P(m-1) against P(m-1) -
// P(m-2). A curve metre turns by k, positive to the right.
double TurnAt(const LineGrid& g, std::int64_t m) {
  const double d1x = g.x(m - 1) - g.x(m - 2), d1y = g.y(m - 1) - g.y(m - 2);
  const double d2x = g.x(m) - g.x(m - 1), d2y = g.y(m) - g.y(m - 1);
  return -(d1x * d2y - d1y * d2x) / (d1x * d1x + d1y * d1y);
}

TEST(LineReader, GeneralPartOfTheBuiltInLine) {
  const ReadResult r = Read(
      "[generale]\r\n"
      "lunghezza percorso,    185700\r\n"
      "progressiva chilometrica uno,    31100,    3050,    0\r\n"
      "progressiva chilometrica due,    0,    0,    0\r\n"
      "progressiva chilometrica tre,    0,    0,    0\r\n"
      "sfondo uno,    1\r\n"
      "sfondo due,    0\r\n"
      "sfondo tre,    0\r\n"
      "ripetizione segnali 9 codici,    7050,    185700\r\n"
      "[curve]\r\n"
      "[fine]\r\n");
  ASSERT_FALSE(r.faulted);
  const Scenario& s = *r.s;
  EXPECT_EQ(s.errors.error_code, 0);
  EXPECT_TRUE(r.handover.train_reader_runs);
  EXPECT_EQ(r.handover.board_slot, 80);
  EXPECT_EQ(s.param_table[84].long2, 185700);
  EXPECT_EQ(s.extended_length, 192700);
  EXPECT_EQ(s.last_cell, 3854);
  EXPECT_EQ(s.track_cells.size(), 3855);
  EXPECT_EQ(s.line_grid.size(), 192701);
  EXPECT_EQ(s.param_table[86].long1, 7050);
  EXPECT_EQ(s.param_table[86].long2, 185700);
  EXPECT_EQ(s.param_table[86].long3, 9);
  EXPECT_EQ(s.param_table[85].long1, 1);
  EXPECT_EQ(s.param_table[85].long2, 0);
  EXPECT_EQ(s.param_table[85].long3, 0);
  // Ordered: the only filled record goes to slot 81.
  EXPECT_EQ(s.param_table[81].long1, 31100);
  EXPECT_EQ(s.param_table[81].long2, 3050);
  EXPECT_EQ(s.param_table[83].long1, 0);
  EXPECT_EQ(s.param_table[85].text, "Tarvo_Cembrio");
  EXPECT_EQ(s.param_table[86].text, "Exp 5147");
}

TEST(LineReader, GeneralValuesGoToTheirFields) {
  const ReadResult r = Read(
      "[generale]\r\nlunghezza percorso, 10000\r\n"
      "sfondo uno, 1\r\nsfondo due, 2\r\nsfondo tre, 3\r\n"
      "progressiva tre, 300, 30, 0\r\nprogressiva due, 200, 20, 0\r\n"
      "progressiva uno, 100, 10, 1\r\n"
      "ripetizione segnali 4, 50, 0\r\n[curve]\r\n[fine]\r\n");
  ASSERT_FALSE(r.faulted);
  const ParamTable& t = r.s->param_table;
  // Selector two is stored after selector three.
  EXPECT_EQ(t[85].long1, 1);
  EXPECT_EQ(t[85].long2, 3);
  EXPECT_EQ(t[85].long3, 2);
  EXPECT_EQ(t[81].long1, 300);
  EXPECT_EQ(t[82].long1, 200);
  EXPECT_EQ(t[83].long1, 100);
  EXPECT_EQ(t[83].long2, 110);  // flag 1 adds 100
  EXPECT_EQ(t[86].long1, 50);
  EXPECT_EQ(t[86].long3, 0);  // an end of 0 means no repetition
}

TEST(LineReader, LengthSizesTheModel) {
  struct Case {
    const char* row;
    std::int32_t last_cell;
  };
  const Case kCases[] = {
      {"lunghezza percorso, 0", 140},
      {"lunghezza percorso, 25", 140},    // 140.5 -> 140
      {"lunghezza percorso, 75", 142},    // 141.5 -> 142
      {"LUNGHEZZA PERCORSO, 1000", 160},  // any case
      {"Percorso di lunghezza, 1000", 160},
      // A second length row starts the array afresh.
      {"lunghezza percorso, 5000\r\nlunghezza percorso, 1000", 160},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.row);
    const ReadResult r =
        Read(std::string("[generale]\r\n") + c.row + "\r\n[curve]\r\n[fine]");
    ASSERT_FALSE(r.faulted);
    EXPECT_EQ(r.s->last_cell, c.last_cell);
    EXPECT_EQ(r.s->track_cells.size(), c.last_cell + 1);
    EXPECT_EQ(r.s->line_grid.size(), r.s->extended_length + 1);
  }
}

// Every code of the line reader: its position, where it is reported and
// whether the train reader still runs. A fault (code 25 in the caller's
// handler) is a thrown Fault.
TEST(LineReader, CodesPositionsAndHandover) {
  struct Case {
    const char* name;
    std::string text;
    bool faulted;
    std::int32_t code;
    std::optional<std::int32_t> position;
    bool runs;
    int line;  // of the reported row; 0: not checked
    std::int32_t write_line_file = 1;
  };
  const std::string kGen = "[generale]\r\nlunghezza percorso, 10000\r\n";
  const Case kCases[] = {
      {"no general section", "abc\r\n[curve]\r\n[fine]\r\n", false,
       kCodeNoGeneralSection, std::nullopt, false, 3},
      {"general header as last field", "x\r\n[Generale]\r\n", false,
       kCodeNoGeneralSection, std::nullopt, false, 2},
      {"empty file", "", true, 0, std::nullopt, false, 0},
      {"length over 1000000",
       "[generale]\r\nlunghezza percorso, 1000001\r\n[curve]\r\n[fine]\r\n",
       false, kCodeLineTooLong, std::nullopt, false, 2},
      {"repetition start",
       kGen + "ripetizione segnali 9, 7025, 0\r\n[curve]\r\n[fine]\r\n", false,
       kCodeRepetitionStart, std::nullopt, false, 3},
      {"repetition end",
       kGen + "ripetizione segnali 9, 7050, 9025\r\n[curve]\r\n[fine]\r\n",
       false, kCodeRepetitionEnd, std::nullopt, false, 3},
      {"repetition codes",
       kGen + "ripetizione segnali, 7050, 0\r\n[curve]\r\n[fine]\r\n", false,
       kCodeRepetitionCodes, std::nullopt, false, 3},
      {"indicator board on a taken cell (25 and 75 share cell 2)",
       Line("cartello_indicatore, 25, A\r\ncartello_indicatore, 75, B\r\n"),
       false, kCodeIndicatorBoardTaken, 75, false, 5},
      {"speed board on a taken cell",
       Line("cartello_indicatore, 1000, A\r\n"
            "indicatori_vmax, 1000, 90, 95, 100, 0, , , , 0\r\n"),
       false, kCodeSpeedBoardTaken, 1000, false, 5},
      {"gradient beyond the array", Line("pendenza, 16901, 3\r\n"), false,
       kCodeBeyondArray, 16901, true, 4},
      {"curve beyond the array", Line("curvas1, 16901, 3\r\n"), false,
       kCodeBeyondArray, 16901, true, 4},
      {"mountain beyond the array", Line("montagna, 16901, 17000, 1\r\n"),
       false, kCodeBeyondArray, 16901, true, 4},
      {"speed board beyond the array",
       Line("indicatori_vmax, 16901, 1, 1, 1, 0, , , , 0\r\n"), false,
       kCodeBeyondArray, 16901, true, 4},
      {"indicator board beyond the array",
       Line("cartello_indicatore, 16901, X\r\n"), false, kCodeBeyondArray,
       16901, true, 4},
      {"last position that fits", Line("pendenza, 16900, 3\r\n"), false, 0,
       std::nullopt, true, 0},
      {"curve without a class digit", Line("curvas7, 1350, 150\r\n"), false,
       kCodeCurve, std::nullopt, false, 4},
      {"no curve row without a grid", Line("curvas7, 1350, 150\r\n"), false, 0,
       std::nullopt, true, 0, 0},
      {"plan metre passes 1000000", Line("curvas1, 1000000, 5\r\n", 1000000),
       false, kCodeCurve, std::nullopt, false, 4},
      {"read past the end inside a row", Line("") + "pendenza, 600", true, 0,
       std::nullopt, false, 0},
      {"malformed number", Line("pendenza, 1.5, 3\r\n"), true, 0, std::nullopt,
       false, 0},
      {"stripe count outside 16 bits",
       Line("indicatori_vmax, 1000, 1, 1, 1, 40000, , , , 0\r\n"), true, 0,
       std::nullopt, false, 0},
      {"last field of the file is never interpreted", Line("") + "pendenza",
       false, 0, std::nullopt, true, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const ReadResult r = Read(c.text, c.write_line_file);
    const ErrorRegisters& e = r.s->errors;
    EXPECT_EQ(r.faulted, c.faulted);
    EXPECT_EQ(e.error_code, c.code);
    EXPECT_EQ(e.error_position, c.position.value_or(kUntouched));
    if (!c.faulted) {
      EXPECT_EQ(r.handover.train_reader_runs, c.runs);
    }
    if (c.code != 0) {
      ASSERT_EQ(e.diagnostics.size(), 1u);
      EXPECT_EQ(e.diagnostics[0].code, c.code);
      EXPECT_EQ(e.diagnostics[0].position, c.position);
      EXPECT_EQ(e.diagnostics[0].where.file, "Tarvo_Cembrio_linea.txt");
      EXPECT_EQ(e.diagnostics[0].where.line, c.line);
    } else {
      EXPECT_TRUE(e.diagnostics.empty());
    }
  }
}

TEST(LineReader, Code15StopsReadingAndRunsTheClosingSteps) {
  const ReadResult r =
      Read(Line("pendenza, 600, -11\r\npendenza, 16901, 3\r\n"
                "pendenza, 1200, 5\r\ncartello_indicatore, 2000, X\r\n"));
  ASSERT_FALSE(r.faulted);
  const Scenario& s = *r.s;
  EXPECT_TRUE(r.handover.train_reader_runs);
  EXPECT_EQ(r.handover.board_slot, 80);
  EXPECT_EQ(s.track_cells[11].gradient, 100);
  for (int c = 12; c <= 337; ++c) EXPECT_EQ(s.track_cells[c].gradient, 89);
  EXPECT_EQ(s.track_cells[338].gradient, 0);
  EXPECT_EQ(s.track_cells[41].kind, kKindNone);  // the board is not read
  EXPECT_EQ(s.line_grid.tag(16998), GridTag::kDouble);
}

TEST(LineReader, SecondLengthRowOverTheLimitKeepsTheFirstArray) {
  const ReadResult r = Read(
      "[generale]\r\nlunghezza percorso, 10000\r\n"
      "lunghezza percorso, 2000000\r\n[curve]\r\n[fine]\r\n");
  ASSERT_FALSE(r.faulted);
  EXPECT_EQ(r.s->errors.error_code, kCodeLineTooLong);
  EXPECT_FALSE(r.handover.train_reader_runs);
  EXPECT_EQ(r.s->param_table[84].long2, 2000000);
  EXPECT_EQ(r.s->last_cell, 340);
  EXPECT_EQ(r.s->track_cells.size(), 341);
}

TEST(LineReader, NoLengthRowOrANegativeOneFaults) {
  struct Case {
    const char* name;
    const char* text;
    std::int32_t write_line_file;
    bool faulted;
    bool cells_exist;
  };
  const Case kCases[] = {
      // The grid seed, or the closing gradient fill, needs the model.
      {"no length row, grid", "[generale]\r\n[curve]\r\n[fine]", 1, true,
       false},
      {"no length row, no grid", "[generale]\r\n[curve]\r\n[fine]", 0, true,
       false},
      {"no cell", "[generale]\r\nlunghezza percorso, -8000\r\n[fine]", 0, true,
       false},
      // extended_length -20 still rounds to last_cell 0, but has no metre.
      {"no metre", "[generale]\r\nlunghezza percorso, -7020\r\n[fine]", 1, true,
       true},
      {"cell 0 only", "[generale]\r\nlunghezza percorso, -7020\r\n[fine]", 0,
       false, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const ReadResult r = Read(c.text, c.write_line_file);
    EXPECT_EQ(r.faulted, c.faulted);
    EXPECT_EQ(r.s->track_cells.exists(), c.cells_exist);
    EXPECT_FALSE(r.s->line_grid.exists());
    EXPECT_EQ(r.s->errors.error_code, 0);
  }
}

TEST(LineReader, FaultingSecondLengthRowKeepsSizesWithTheirArrays) {
  // The new array (cell 0 only) is made before the grid faults; the grid
  // and extended_length stay those of the first row.
  const ReadResult r = Read(
      "[generale]\r\nlunghezza percorso, 10000\r\n"
      "lunghezza percorso, -7020\r\n[curve]\r\n[fine]\r\n");
  EXPECT_TRUE(r.faulted);
  EXPECT_EQ(r.s->last_cell, 0);
  EXPECT_EQ(r.s->track_cells.size(), 1);
  EXPECT_EQ(r.s->extended_length, 17000);
  EXPECT_EQ(r.s->line_grid.size(), 17001);
}

TEST(LineReader, PositionCheckBeforeTheLengthRow) {
  // last_cell is 0 until a length row: -99 fails the check; the closing
  // steps then fault for want of a cell array.
  const ReadResult r =
      Read("[generale]\r\n[curve]\r\npendenza, -99, 0\r\n[fine]", 0);
  EXPECT_TRUE(r.faulted);
  EXPECT_EQ(r.s->errors.error_code, kCodeBeyondArray);
  EXPECT_EQ(r.s->errors.error_position, -99);
}

// Which rows are recognised where: checked through selector one (general
// part) and through the gradient at cell 10 (main part).
TEST(LineReader, RecognitionRules) {
  struct Case {
    const char* name;
    std::string text;
    std::int32_t selector_one;
    std::uint8_t gradient_at_10;
  };
  const std::string kGen = "[generale]\r\nlunghezza percorso, 10000\r\n";
  const std::string kRest = "[curve]\r\npendenza, 1000, 0\r\n[fine]\r\n";
  const Case kCases[] = {
      {"selector row", kGen + "sfondo uno, 7\r\n" + kRest, 7, 100},
      {"selector keyword is exact case", kGen + "Sfondo uno, 7\r\n" + kRest, 0,
       100},
      {"text before the general header is ignored",
       "sfondo uno, 7\r\n" + kGen + kRest, 0, 100},
      {"general header in any case",
       "[GENERALE]\r\nlunghezza percorso, 10000\r\nsfondo uno, 7\r\n" + kRest,
       7, 100},
      {"one field passes several tests",
       kGen + "sfondo uno due, 7, 8\r\n" + kRest, 7, 100},
      {"general row after the general part",
       kGen + "[curve]\r\nsfondo uno, 7\r\npendenza, 1000, 0\r\n[fine]\r\n", 0,
       100},
      {"three dash lines in the general part",
       kGen + "---\r\n---\r\n---\r\nsfondo uno, 7\r\n" + kRest, 7, 100},
      {"ten dash fields, the eleventh field is tested",
       kGen + "-,-,-,-,-,-,-,-,-,-,-sfondo uno, 7\r\n" + kRest, 7, 100},
      {"eleven dash fields, the twelfth is a new keyword",
       kGen + "-,-,-,-,-,-,-,-,-,-,-,-sfondo uno, 7\r\n" + kRest, 0, 100},
      {"a bracketed word ends the general part",
       kGen + "[altro]\r\nsfondo uno, 7\r\n" + kRest, 0, 100},
      {"a row carrying brackets ends it after the row",
       kGen + "sfondo uno [x], 7\r\nsfondo uno, 8\r\n" + kRest, 7, 100},
      {"a dash before the bracket keeps the general part",
       kGen + "-[curve]\r\nsfondo uno, 7\r\n" + kRest, 7, 100},
      {"a tested field that begins with a dash does not end it",
       kGen + "-,-,-,-,-,-,-,-,-,-,\" -[curve]\"\r\nsfondo uno, 7\r\n" + kRest,
       7, 100},
      {"a tested bracket with a dash inside ends it",
       kGen + "-,-,-,-,-,-,-,-,-,-,[cur-ve]\r\nsfondo uno, 7\r\n" + kRest, 0,
       100},
      {"gradient row", kGen + "[curve]\r\npendenza, 500, 3\r\n" + kRest, 0,
       103},
      {"gradient keyword in any case",
       kGen + "[curve]\r\nPenDenZA, 500, 3\r\n" + kRest, 0, 103},
      {"gradient row inside the general part is passed over",
       kGen + "pendenza, 500, 3\r\n" + kRest, 0, 100},
      {"a dash line is passed over",
       kGen + "[curve]\r\n-----------\r\npendenza, 500, 3\r\n" + kRest, 0, 103},
      {"two dash fields, the third is tested",
       kGen + "[curve]\r\n---,---,-pendenza, 500, 3\r\n" + kRest, 0, 103},
      {"a dash field after one dash field is passed over",
       kGen + "[curve]\r\n---,-pendenza, 500, 3\r\n" + kRest, 0, 100},
      {"decimal comma: -4,5 is -4 and a stray 5",
       kGen + "[curve]\r\npendenza, 500, -4,5\r\n" + kRest, 0, 96},
      {"blanks-only and empty fields",
       kGen + "[curve]\r\n  ,,pendenza,   500  ,\t3\r\n" + kRest, 0, 103},
      {"LF and CR line ends",
       "[generale]\nlunghezza percorso, 10000\rsfondo uno, 7\n[curve]\r"
       "pendenza, 500, 3\npendenza, 1000, 0\n[fine]\n",
       7, 103},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const ReadResult r = Read(c.text);
    ASSERT_FALSE(r.faulted);
    EXPECT_EQ(r.s->errors.error_code, 0);
    EXPECT_EQ(r.s->param_table[85].long1, c.selector_one);
    EXPECT_EQ(r.s->track_cells[10].gradient, c.gradient_at_10);
  }
}

TEST(LineReader, GradientFills) {
  const ReadResult r = Read(
      Line("pendenza, 0, 0\r\npendenza, 600, -11\r\npendenza, 1200, 0\r\n"
           "pendenza, 1250, -4,5\r\npendenza, 1500, 200\r\n"
           "pendenza, 1600, -150\r\npendenza, 1700, 5\r\n"
           // The fill index (34) has reached 1700 / 50: one cell still gets 5.
           "pendenza, 1700, 7\r\npendenza, 1750, 0\r\n"));
  ASSERT_FALSE(r.faulted);
  const TrackCells& cells = r.s->track_cells;
  for (int c = 0; c <= 11; ++c) EXPECT_EQ(cells[c].gradient, 100) << c;
  for (int c = 12; c <= 23; ++c) EXPECT_EQ(cells[c].gradient, 89) << c;
  EXPECT_EQ(cells[24].gradient, 100);
  for (int c = 25; c <= 29; ++c) EXPECT_EQ(cells[c].gradient, 96) << c;
  EXPECT_EQ(cells[30].gradient, 44);   // 300 keeps its low 8 bits
  EXPECT_EQ(cells[32].gradient, 206);  // -50 as well
  EXPECT_EQ(cells[33].gradient, 206);
  EXPECT_EQ(cells[34].gradient, 105);
  EXPECT_EQ(cells[35].gradient, 107);  // at least one cell again
  EXPECT_EQ(cells[36].gradient, 100);
  EXPECT_EQ(cells[337].gradient, 100);
  for (int c = 338; c <= 340; ++c) EXPECT_EQ(cells[c].gradient, 0) << c;
}

TEST(LineReader, FileEndingInTheGeneralPartFillsAllGradients) {
  const ReadResult r = Read("[generale]\r\nlunghezza percorso, 10000\r\n");
  ASSERT_FALSE(r.faulted);
  EXPECT_TRUE(r.handover.train_reader_runs);
  EXPECT_EQ(r.s->track_cells[0].gradient, 100);
  EXPECT_EQ(r.s->track_cells[337].gradient, 100);
  EXPECT_EQ(r.s->track_cells[338].gradient, 0);
}

TEST(LineReader, IndicatorBoards) {
  const ReadResult r =
      Read(Line("cartello_indicatore,  28000,   (  Cippo  )(Km 28+000)\r\n"
                "cartello_indicatore, 25, (Dev.I.)\r\n"
                "cartello_indicatore, 425, \"a, b\"\r\n",
                30000));
  ASSERT_FALSE(r.faulted);
  const Scenario& s = *r.s;
  EXPECT_EQ(s.track_cells[561].kind, kKindIndicatorBoard);
  EXPECT_EQ(s.track_cells[561].w2, 80);
  EXPECT_EQ(s.param_table[80].text, "(  Cippo  )(Km 28+000)");
  EXPECT_EQ(s.track_cells[2].w2, 79);  // 1.5 rounds to 2
  EXPECT_EQ(s.param_table[79].text, "(Dev.I.)");
  EXPECT_EQ(s.track_cells[10].w2, 78);  // 9.5 rounds to 10
  EXPECT_EQ(s.param_table[78].text, "a, b");
  EXPECT_EQ(r.handover.board_slot, 77);
}

TEST(LineReader, EightySecondBoardFaultsAfterItsCellIsWritten) {
  std::string rows;
  for (int i = 0; i < 82; ++i) {
    rows += "cartello_indicatore, " + std::to_string(1000 + 100 * i) + ", B" +
            std::to_string(i) + "\r\n";
  }
  const ReadResult r = Read(Line(rows));
  EXPECT_TRUE(r.faulted);
  const Scenario& s = *r.s;
  EXPECT_EQ(s.param_table[0].text, "B80");  // the 81st board takes slot 0
  const TrackCell& last = s.track_cells[(1000 + 100 * 81) / 50 + 1];
  EXPECT_EQ(last.kind, kKindIndicatorBoard);
  EXPECT_EQ(last.w2, -1);
}

TEST(LineReader, MountainAndSpeedBoardRows) {
  const ReadResult r = Read(Line(
      "montagna,   8750,  11150,  12\r\n"
      "indicatori_vmax,  1000,  90,  95,  100,  0,  ,  ,  ,  0\r\n"
      // On the stretch's first mark (cell 178): the board replaces it.
      "indicatori_vmax,  8850,  130,  140,  145,  2,  130,  140,  145,  1\r\n"
      // 150 m after the stretch: type 3.
      "montagna,   11300,  11400,  1\r\n",
      20000));
  ASSERT_FALSE(r.faulted);
  const TrackCells& cells = r.s->track_cells;
  EXPECT_EQ(cells[175].mountain, 2);
  EXPECT_EQ(cells[222].mountain, 2);
  EXPECT_EQ(cells[182].kind, kKindMountainMark);
  EXPECT_EQ(cells[178].kind, kKindSpeedBoard);
  EXPECT_EQ(cells[178].mountain, 2);
  EXPECT_EQ(cells[178].w8, 21);
  EXPECT_EQ(cells[21].w2, 90 * 20);
  EXPECT_EQ(cells[21].w6, 100 * 20);
  EXPECT_EQ(cells[226].mountain, 3);
}

TEST(LineReader, EightyFirstMountainStretchFaults) {
  std::string rows;
  for (int i = 0; i < 81; ++i) {
    rows += "montagna, " + std::to_string(100 * i) + ", " +
            std::to_string(100 * i + 50) + ", 1\r\n";
  }
  const ReadResult r = Read(Line(rows));
  EXPECT_TRUE(r.faulted);
  EXPECT_EQ(r.s->track_cells[0].mountain, 1);
  EXPECT_EQ(r.s->track_cells[79 * 2].mountain, 3);  // 50 m after: joined
  EXPECT_EQ(r.s->track_cells[80 * 2].mountain, 0);
}

TEST(LineReader, MountainStretchRunningOffTheArrayFaults) {
  const ReadResult r = Read(Line("montagna, 16000, 20000, 1\r\n"));
  EXPECT_TRUE(r.faulted);
  EXPECT_EQ(r.s->track_cells[340].mountain, 1);
}

TEST(LineReader, PlanSeedAndFirstBuiltInCurve) {
  const ReadResult r = Read(Line("curvas1,  1350,  150\r\n"));
  ASSERT_FALSE(r.faulted);
  const LineGrid& g = r.s->line_grid;
  EXPECT_EQ(g.tag(0), GridTag::kInt16);
  EXPECT_EQ(g.tag(1), GridTag::kInt16);
  EXPECT_EQ(g.x(0), 0);
  EXPECT_EQ(g.y(0), 0);
  EXPECT_EQ(g.x(1), 0);
  EXPECT_EQ(g.y(1), 1);
  EXPECT_EQ(g.tag(2), GridTag::kDouble);
  EXPECT_EQ(g.x(1350), 0);
  EXPECT_EQ(g.y(1350), 1350);
  EXPECT_DOUBLE_EQ(g.x(1351), -0.0001);
  EXPECT_DOUBLE_EQ(g.y(1351), 1351);
  EXPECT_DOUBLE_EQ(g.x(1352), -0.0003);
  EXPECT_DOUBLE_EQ(g.y(1352), 1352 - 0.00000001);
  // The step is not scaled back: each curve metre is longer by
  // sqrt(1 + k * k).
  const double step = std::hypot(g.x(1500) - g.x(1499), g.y(1500) - g.y(1499));
  EXPECT_NEAR(step, std::pow(1 + 1e-8, 150 / 2.0), 1e-10);
  // The closing straight run stops two metres short of the grid's end.
  EXPECT_EQ(g.tag(16998), GridTag::kDouble);
  EXPECT_EQ(g.tag(16999), GridTag::kEmpty);
  EXPECT_EQ(g.tag(17000), GridTag::kEmpty);
}

TEST(LineReader, CurveClassAndDirection) {
  struct Case {
    const char* keyword;
    double k;
  };
  const Case kCases[] = {
      {"curvas1", -0.0001}, {"curvad12", 0.0001}, {"curvad21", 0.0001},
      {"curvas6", -0.003},  {"CURVAD3", 0.0004},  {"curvaS4", -0.001},
      {"curvad5", 0.002},   {"curva 2", 0.0002},  // no "s": right
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.keyword);
    const ReadResult r = Read(Line(std::string(c.keyword) + ", 1000, 10\r\n"));
    ASSERT_FALSE(r.faulted);
    EXPECT_EQ(r.s->errors.error_code, 0);
    EXPECT_NEAR(TurnAt(r.s->line_grid, 1000), 0, 1e-10);
    EXPECT_NEAR(TurnAt(r.s->line_grid, 1001), c.k, 1e-10);
    EXPECT_NEAR(TurnAt(r.s->line_grid, 1010), c.k, 1e-10);
    EXPECT_NEAR(TurnAt(r.s->line_grid, 1011), 0, 1e-10);
  }
}

TEST(LineReader, TouchingCurves) {
  const ReadResult r =
      Read(Line("curvas2,  11750,  50\r\ncurvas4,  11800,  150\r\n", 20000));
  ASSERT_FALSE(r.faulted);
  const LineGrid& g = r.s->line_grid;
  for (int m = 11700; m <= 12000; ++m) {
    double k = 0;
    if (m >= 11751 && m <= 11800) k = -0.0002;
    if (m >= 11801 && m <= 11950) k = -0.001;
    EXPECT_NEAR(TurnAt(g, m), k, 1e-9) << m;
  }
}

TEST(LineReader, CurvesBehindThePlanMetre) {
  const ReadResult alone = Read(Line("curvad2,  5000,  150\r\n"));
  // Entirely behind: nothing changes.
  const ReadResult backward =
      Read(Line("curvad2,  5000,  150\r\ncurvas3,  3000,  150\r\n"));
  // Starting behind: it begins at the plan metre and ends at s + l.
  const ReadResult overlapping =
      Read(Line("curvad2,  5000,  150\r\ncurvas3,  5100,  150\r\n"));
  ASSERT_FALSE(alone.faulted || backward.faulted || overlapping.faulted);
  const LineGrid& a = alone.s->line_grid;
  const LineGrid& b = backward.s->line_grid;
  ASSERT_EQ(a.size(), b.size());
  for (std::int64_t m = 0; m < a.size(); ++m) {
    ASSERT_EQ(a.tag(m), b.tag(m)) << m;
    ASSERT_EQ(a.x(m), b.x(m)) << m;
    ASSERT_EQ(a.y(m), b.y(m)) << m;
  }
  const LineGrid& o = overlapping.s->line_grid;
  EXPECT_NEAR(TurnAt(o, 5150), 0.0002, 1e-9);
  EXPECT_NEAR(TurnAt(o, 5151), -0.0004, 1e-9);
  EXPECT_NEAR(TurnAt(o, 5250), -0.0004, 1e-9);
  EXPECT_NEAR(TurnAt(o, 5251), 0, 1e-9);
}

TEST(LineReader, CurvePastTheGridEndFaultsAtTheFirstMissingMetre) {
  const ReadResult r = Read(Line("curvas1, 16000, 5000\r\n"));
  EXPECT_TRUE(r.faulted);
  EXPECT_EQ(r.s->errors.error_code, 0);
  EXPECT_EQ(r.s->line_grid.tag(17000), GridTag::kDouble);
}

TEST(LineReader, KeptRunsCountAndWriteAsTheLaidCoordinates) {
  // A compile's grid keeps its plan's runs, and the encoder lays them: the
  // file must hold the very bits of the coordinates laid at once, and the
  // metres counted on the way must decide code 103 and the fault past the
  // grid's end just as laying them does.
  const std::string kCases[] = {
      Line(""),
      Line("curvas1,  1350,  150\r\n"),
      Line("curvad6,  1000,  10\r\ncurvas6,  2000,  10\r\n"),
      // Touching curves, and curves to the grid's last metre and past it.
      Line("curvas2,  1750,  50\r\ncurvas4,  1800,  150\r\n"),
      Line("curvad3, 16900, 100\r\n"),
      Line("curvas1, 16900, 101\r\n"),
      // Past metre 1000000, and onto it exactly.
      Line("curvas1, 999990, 5\r\ncurvad2, 999995, 10\r\n", 1000000),
      Line("curvas1, 999990, 10\r\n", 1000000),
      // Grids of three metres, two and one.
      "[generale]\r\nlunghezza percorso, -6998\r\n[curve]\r\n[fine]\r\n",
      "[generale]\r\nlunghezza percorso, -6999\r\n[curve]\r\n[fine]\r\n",
      "[generale]\r\nlunghezza percorso, -7000\r\n[curve]\r\n[fine]\r\n",
  };
  for (const std::string& text : kCases) {
    SCOPED_TRACE(text.substr(0, 120));
    const ReadResult laid = Read(text);
    const ReadResult kept = Read(text, 1, true);
    EXPECT_EQ(kept.faulted, laid.faulted);
    EXPECT_EQ(kept.fault_message, laid.fault_message);
    const ErrorRegisters& e = kept.s->errors;
    EXPECT_EQ(e.error_code, laid.s->errors.error_code);
    EXPECT_EQ(e.error_position, laid.s->errors.error_position);
    ASSERT_EQ(e.diagnostics.size(), laid.s->errors.diagnostics.size());
    for (std::size_t i = 0; i < e.diagnostics.size(); ++i) {
      EXPECT_EQ(e.diagnostics[i].code, laid.s->errors.diagnostics[i].code);
      EXPECT_EQ(e.diagnostics[i].where.line,
                laid.s->errors.diagnostics[i].where.line);
    }
    ASSERT_TRUE(kept.s->line_grid.kept_runs());
    ASSERT_EQ(kept.s->line_grid.size(), laid.s->line_grid.size());
    for (std::int64_t m = 0; m < laid.s->line_grid.size(); ++m) {
      ASSERT_EQ(kept.s->line_grid.tag(m), laid.s->line_grid.tag(m)) << m;
    }
    const std::string expected = EncodeGridFile(laid.s->line_grid);
    EXPECT_TRUE(EncodeGridFile(kept.s->line_grid) == expected);
    EXPECT_EQ(GridFileSize(kept.s->line_grid), expected.size());
  }
  // The cases above reach what they are meant to.
  EXPECT_FALSE(Read(kCases[4]).faulted);
  EXPECT_TRUE(Read(kCases[5]).faulted);
  EXPECT_EQ(Read(kCases[6]).s->errors.error_code, kCodeCurve);
  EXPECT_EQ(Read(kCases[7]).s->errors.error_code, kCodeCurve);
  EXPECT_TRUE(Read(kCases[10]).faulted);
}

TEST(LineReader, WithoutGridCurvesArePassedOver) {
  const ReadResult r = Read(Line("curvas1,  1350,  150\r\npendenza, 500, 3\r\n"
                                 "pendenza, 1000, 0\r\n"),
                            0);
  ASSERT_FALSE(r.faulted);
  EXPECT_EQ(r.s->errors.error_code, 0);
  EXPECT_FALSE(r.s->line_grid.exists());
  EXPECT_EQ(r.s->track_cells[10].gradient, 103);
}

}  // namespace
}  // namespace scenario
