#include "train/train_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "line/field_reader.h"
#include "model/errors.h"
#include "model/param_table.h"
#include "model/scenario.h"
#include "model/scenario_testing.h"
#include "model/track_cells.h"

namespace scenario {
namespace {

// The built-in line's array: (185700 + 7000) / 50.
constexpr std::int32_t kBuiltInLastCell = 3854;

Scenario MakeScenario(std::int32_t last_cell = 400) {
  return ScenarioWithCells(last_cell);
}

// Joins lines with CR LF after each, as the writer does.
std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// A train file: "[generale]", the rows, and the closing "[fine]".
std::string TrainFile(const std::vector<std::string>& rows) {
  std::vector<std::string> lines = {"[generale]"};
  lines.insert(lines.end(), rows.begin(), rows.end());
  lines.push_back("[fine]");
  return Lines(lines);
}

void Read(Scenario& s, const std::string& text, std::int32_t board_slot = 66) {
  FieldReader fields(text, "train.txt");
  ReadTrainDescription(s, fields, board_slot);
}

// The closing steps ran: the speed limit and adhesion in force reach
// last_cell - 3 and stop there.
bool ClosingStepsRan(const Scenario& s) {
  const TrackCell& c = s.track_cells[s.last_cell - 3];
  return c.speed_step != 0 && c.adhesion != 0;
}

struct GeneralValues {
  std::int32_t braked = 0;                           // slot 84 long1
  std::int32_t coaches = 0;                          // slot 84 long3
  std::int16_t sand = 0;                             // slot 86 int1
  std::int16_t hours = 0, minutes = 0, seconds = 0;  // slot 86 int3..5
  bool operator==(const GeneralValues&) const = default;
};

GeneralValues General(const Scenario& s) {
  const ParamSlot& g = s.param_table[kGeneralSlot];
  const ParamSlot& t = s.param_table[kTrainSlot];
  return {g.long1, g.long3, t.int1, t.int3, t.int4, t.int5};
}

void PrintTo(const GeneralValues& v, std::ostream* os) {
  *os << "{" << v.braked << ", " << v.coaches << ", " << v.sand << ", "
      << v.hours << ":" << v.minutes << ":" << v.seconds << "}";
}

TEST(TrainReader, RecognisesRows) {
  struct Case {
    const char* name;
    std::string text;
    GeneralValues want;
  };
  const Case kCases[] = {
      {"built-in general rows",
       TrainFile({"numero vetture,    8", "percentuale massa frenata,    120",
                  "sabbia,    220",
                  "orologio,    17              15            30 ",
                  "[aderenze]"}),
       {120, 8, 220, 17, 15, 30}},
      {"clock row then the next row",
       TrainFile({"orologio,    17              15            30 ",
                  "sabbia,    220"}),
       {0, 0, 220, 17, 15, 30}},
      {"any case",
       TrainFile({"Numero Vetture, 8", "SABBIA,3"}),
       {0, 8, 3, 0, 0, 0}},
      {"massa without frenata",
       TrainFile({"massa, 5", "sabbia, 1"}),
       {0, 0, 1, 0, 0, 0}},
      // Each test reads its own numbers, in the tests' order.
      {"two tests in one field",
       TrainFile({"numero vetture percentuale massa frenata, 120, 8"}),
       {120, 8, 0, 0, 0, 0}},
      {"clock before sand",
       TrainFile({"sabbia orologio, 1, 2, 3, 4"}),
       {0, 0, 4, 1, 2, 3}},
      {"rows before [generale] are passed over",
       Lines({"sabbia, 5", "[GENERALE]", "sabbia, 7", "[fine]"}),
       {0, 0, 7, 0, 0, 0}},
      {"no [generale]: no rows",
       Lines({"sabbia, 5", "numero vetture, 8", "[fine]"}),
       {}},
      {"the last field is never interpreted",
       Lines({"[generale]", "sabbia, 7", "numero vetture"}),
       {0, 0, 7, 0, 0, 0}},
      {"the last row is read whole",
       "[generale]\r\nsabbia, 7",
       {0, 0, 7, 0, 0, 0}},
      {"two dash fields are passed over",
       TrainFile({"-----", "-----", "sabbia-x, 7"}),
       {0, 0, 7, 0, 0, 0}},
      {"a third dash field is tested",
       TrainFile({"-----", "-----", "-----", "sabbia, 7"}),
       {0, 0, 7, 0, 0, 0}},
      // The keyword is the second dash field: passed over, and its number
      // falls into keyword position.
      {"a dash keyword after one dash line",
       TrainFile({"-----", "sabbia-x, 7", "numero vetture, 8"}),
       {0, 8, 0, 0, 0, 0}},
      {"headers without a test word",
       TrainFile({"[aderenze]", "[vel_limite]", "[stazioni]", "[rallentamenti]",
                  "[segnali]", "[codici]", "sabbia, 2"}),
       {0, 0, 2, 0, 0, 0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Scenario s = MakeScenario();
    Read(s, c.text);
    EXPECT_EQ(General(s), c.want);
    EXPECT_EQ(s.errors.error_code, 0);
  }
}

TEST(TrainReader, EmptyFileFaults) {
  Scenario s = MakeScenario();
  EXPECT_THROW(Read(s, ""), Fault);
}

TEST(TrainReader, RowCutShortByTheEndFaults) {
  // The numbers of a row are read without the end test.
  for (const char* text : {"[generale]\r\nsegnale, 1050, 2\r\n",
                           "[generale]\r\nstazione, 3100, 2, 200"}) {
    SCOPED_TRACE(text);
    Scenario s = MakeScenario();
    EXPECT_THROW(Read(s, text), Fault);
  }
}

TEST(TrainReader, NumberOutsideItsWidthFaults) {
  for (const char* row : {"sabbia, 40000", "orologio, 1, 2, -40000",
                          "numero vetture, 3000000000"}) {
    SCOPED_TRACE(row);
    Scenario s = MakeScenario();
    EXPECT_THROW(Read(s, TrainFile({row})), Fault);
  }
}

TEST(TrainReader, FieldWithSignalAndSlowdownReadsBoth) {
  Scenario s = MakeScenario();
  Read(s, TrainFile({"segnale rallentamento, 1050,2,5,1,1,0,2,2,1,1,255, "
                     "3000,60,500,0,0,0",
                     "sabbia, 1"}));
  EXPECT_EQ(s.errors.error_code, 0);
  EXPECT_EQ(s.track_cells[22].kind, kKindSignal);
  EXPECT_EQ(s.track_cells[61].kind, kKindSlowdownStart);
  EXPECT_EQ(s.track_cells[71].kind, kKindSlowdownEnd);
  EXPECT_EQ(s.param_table[kTrainSlot].int1, 1);
}

TEST(TrainReader, HeaderWithATestWordIsARow) {
  Scenario s = MakeScenario();
  Read(s, TrainFile({"[segnale]", "1050,2,5,1,1,0,2,2,1,1,255"}));
  EXPECT_EQ(s.track_cells[22].kind, kKindSignal);
  EXPECT_EQ(s.track_cells[22].b10, 255);
}

TEST(TrainReader, SpeedLimitFill) {
  Scenario s = MakeScenario();
  Read(s, TrainFile({"velocita,   0,    30", "Velocita,    1000,    95",
                     "velocita, 15000, 140"}));
  const TrackCells& c = s.track_cells;
  EXPECT_EQ(c[0].speed_step, 6);
  EXPECT_EQ(c[19].speed_step, 6);
  EXPECT_EQ(c[20].speed_step, 19);
  EXPECT_EQ(c[299].speed_step, 19);
  EXPECT_EQ(c[300].speed_step, 28);
  EXPECT_EQ(c[397].speed_step, 28);
  EXPECT_EQ(c[398].speed_step, 0);
  EXPECT_EQ(c[400].speed_step, 0);
}

TEST(TrainReader, SpeedRowAtTheSameMetreStillWritesOneCell) {
  Scenario s = MakeScenario();
  Read(s, TrainFile({"velocita, 0, 30", "velocita, 1000, 95",
                     "velocita, 1000, 100", "velocita, 2000, 50"}));
  const TrackCells& c = s.track_cells;
  EXPECT_EQ(c[19].speed_step, 6);
  EXPECT_EQ(c[20].speed_step, 19);  // the earlier value
  EXPECT_EQ(c[21].speed_step, 20);
  EXPECT_EQ(c[39].speed_step, 20);
  EXPECT_EQ(c[40].speed_step, 10);
}

TEST(TrainReader, SpeedAndAdhesionBeforeTheFirstRowAreZero) {
  Scenario s = MakeScenario();
  Read(s, TrainFile({"velocita, 1000, 95", "aderenza, 1000, 70"}));
  EXPECT_EQ(s.track_cells[19].speed_step, 0);
  EXPECT_EQ(s.track_cells[19].adhesion, 0);
  EXPECT_EQ(s.track_cells[20].speed_step, 19);
  EXPECT_EQ(s.track_cells[20].adhesion, 70);
}

TEST(TrainReader, ProfileValuesKeepTheirLowBits) {
  struct Case {
    std::int32_t value;
    std::uint8_t speed_step;  // value as a speed
    std::uint8_t adhesion;    // value as an adhesion
  };
  const Case kCases[] = {
      {32, 6, 32}, {38, 8, 38}, {1275, 255, 251}, {1300, 4, 20}, {-5, 255, 251},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.value);
    Scenario s = MakeScenario();
    const std::string v = std::to_string(c.value);
    Read(s, TrainFile({"velocita, 0, " + v, "aderenza, 0, " + v}));
    EXPECT_EQ(s.track_cells[5].speed_step, c.speed_step);
    EXPECT_EQ(s.track_cells[5].adhesion, c.adhesion);
  }
}

TEST(TrainReader, SpeedFillStopsAtTheLastCellAdhesionFillFaults) {
  // Rows at the last allowed metre (n = 398): each repeat pushes the fill
  // index one cell further.
  std::vector<std::string> rows(4, "velocita, 19900, 50");
  Scenario s = MakeScenario();
  Read(s, TrainFile(rows));
  EXPECT_EQ(s.errors.error_code, 0);
  EXPECT_EQ(s.track_cells[399].speed_step, 10);
  EXPECT_EQ(s.track_cells[400].speed_step, 10);  // the closing step's cell

  std::vector<std::string> adhesion(5, "aderenza, 19900, 50");
  Scenario t = MakeScenario();
  EXPECT_THROW(Read(t, TrainFile(adhesion)), Fault);
  EXPECT_EQ(t.track_cells[400].adhesion, 50);
}

TEST(TrainReader, CodeChanges) {
  Scenario s = MakeScenario();
  s.track_cells[143].kind = kKindMountainMark;
  s.track_cells[144].w2 = 33;
  Read(s,
       TrainFile({"abbattimento, 7050, 270",
                  "segnale, 7050, 2,3,1,1,0,0,0,0,0,0", "abbattimento, 7150, 0",
                  "abbattimento, 7200, -3", "abbattimento, 7250, 70000"}));
  const TrackCells& c = s.track_cells;
  EXPECT_EQ(s.errors.error_code, 0);
  EXPECT_EQ(c[141].kind, kKindCodeMark);
  EXPECT_EQ(c[141].w2, 270);
  // A signal at the same metre sits one cell further.
  EXPECT_EQ(c[142].kind, kKindSignal);
  EXPECT_EQ(c[143].kind, kKindCodeOff);  // over a mountain mark
  EXPECT_EQ(c[144].kind, kKindCodeOff);
  EXPECT_EQ(c[144].w2, 33);  // kept
  EXPECT_EQ(c[145].kind, kKindCodeMark);
  EXPECT_EQ(c[145].w2, 4464);  // the low 16 bits
}

TEST(TrainReader, CodeChangeAtANegativeCellFaults) {
  Scenario s = MakeScenario();
  EXPECT_THROW(Read(s, TrainFile({"abbattimento, -100, 270"})), Fault);
  Scenario t = MakeScenario();
  Read(t, TrainFile({"abbattimento, -25, 270"}));  // -0.5 rounds to 0
  EXPECT_EQ(t.track_cells[0].kind, kKindCodeMark);
}

// One row that stops the reading or ends the stage.
struct CodeCase {
  const char* name;
  std::vector<std::string> rows;
  std::int32_t code;
  std::optional<std::int32_t> position;  // nothing: left as it was
  bool closing_steps;
  int line;  // of the row's keyword, counted in the whole file
};

TEST(TrainReader, CodesWithTheirPositions) {
  // last_cell 400: a row's position + 100 may reach 20000.
  const std::string profile[] = {"velocita, 0, 50", "aderenza, 0, 70"};
  const CodeCase kCases[] = {
      {"speed row beyond", {"velocita, 19901, 60"}, 15, 19901, true, 4},
      {"adhesion row beyond", {"aderenza, 19950, 60"}, 15, 19950, true, 4},
      {"signal beyond",
       {"segnale, 19950, 2,3,1,1,0,0,0,0,0,0"},
       15,
       19950,
       true,
       4},
      {"slowdown beyond",
       {"rallentamento, 20000, 60, 0, 0, 0, 0"},
       15,
       20000,
       true,
       4},
      {"code change beyond", {"abbattimento, 19901, 270"}, 15, 19901, true, 4},
      {"station beyond",
       {"stazione, 19250, 2, 200, 0,0,0,0,0,0,0,0,0,0, 0,0,0, X"},
       15,
       19250,
       true,
       4},
      {"signal taken",
       {"abbattimento, 1000, 270", "segnale, 950, 2,3,1,1,0,0,0,0,0,0"},
       16,
       950,
       false,
       5},
      {"warning taken",
       {"abbattimento, 400, 270", "rallentamento, 1550, 60, 500, 0, 1, 0"},
       17,
       1550,
       false,
       5},
      {"start taken",
       {"abbattimento, 1600, 270", "rallentamento, 1550, 60, 500, 0, 1, 0"},
       18,
       1550,
       false,
       5},
      {"end taken",
       {"abbattimento, 2100, 270", "rallentamento, 1550, 60, 500, 0, 1, 0"},
       19,
       1550,
       false,
       5},
      {"pre-warning taken",
       {"abbattimento, 250, 270", "rallentamento, 1550, 60, 500, 0, 1, 0"},
       20,
       1550,
       false,
       5},
      {"code change taken",
       {"segnale, 1000, 2,3,1,1,0,0,0,0,0,0", "abbattimento, 1050, 270"},
       7,
       1050,
       false,
       5},
      {"station position",
       {"stazione, 3125, 2, 200, 0,0,0,0,0,0,0,0,0,0, 0,0,0, X"},
       8,
       3125,
       false,
       4},
      {"station length",
       {"stazione, 3100, 2, 450, 0,0,0,0,0,0,0,0,0,0, 0,0,0, X"},
       9,
       3100,
       false,
       4},
      {"station ends too early",
       {"stazione, 0, 10, 200, 0,0,0,0,0,0,0,0,0,0, 0,0,0, X"},
       24,
       std::nullopt,
       false,
       4},
      {"station too close",
       {"stazione, 1000, 2, 200, 0,0,0,0,0,0,0,0,0,0, 0,0,0, A",
        "stazione, 1500, 2, 200, 0,0,0,0,0,0,0,0,0,0, 0,0,0, B"},
       22,
       1500,
       false,
       5},
  };
  for (const CodeCase& c : kCases) {
    SCOPED_TRACE(c.name);
    Scenario s = MakeScenario();
    s.errors.error_position = -1;
    std::vector<std::string> rows(std::begin(profile), std::end(profile));
    rows.insert(rows.end(), c.rows.begin(), c.rows.end());
    rows.push_back("sabbia, 9");  // never read after the code
    Read(s, TrainFile(rows));
    EXPECT_EQ(s.errors.error_code, c.code);
    EXPECT_EQ(s.errors.error_position, c.position.value_or(-1));
    EXPECT_EQ(ClosingStepsRan(s), c.closing_steps);
    EXPECT_EQ(s.param_table[kTrainSlot].int1, 0);
    ASSERT_EQ(s.errors.diagnostics.size(), 1u);
    const Diagnostic& d = s.errors.diagnostics[0];
    EXPECT_EQ(d.code, c.code);
    EXPECT_EQ(d.position, c.position);
    EXPECT_EQ(d.where.file, "train.txt");
    EXPECT_EQ(d.where.line, c.line);
    EXPECT_EQ(d.where.column, 1);
  }
}

TEST(TrainReader, StationsReachingTheBoardTextsGive10) {
  const std::string a = "stazione, 1000, 2, 200, 0,0,0,0,0,0,0,0,0,0, 0,0,0, A";
  const std::string b = "stazione, 3000, 2, 200, 0,0,0,0,0,0,0,0,0,0, 0,0,0, B";
  // Board slot counter 3: slots 1 and 2 are free, but the station that
  // takes slot 2 ends the stage, stored whole.
  Scenario s = MakeScenario();
  s.errors.error_position = -1;
  Read(s, TrainFile({a, b, "sabbia, 9"}), 3);
  EXPECT_EQ(s.errors.error_code, kCodeNoStationSlot);
  EXPECT_EQ(s.errors.error_position, -1);
  EXPECT_EQ(s.param_table[2].text, "B");
  EXPECT_EQ(s.track_cells[3100 / 50 - 1].kind, kKindStopMark);
  EXPECT_EQ(s.track_cells[3100 / 50 - 1].w2, 2);
  EXPECT_EQ(s.param_table[kTrainSlot].int1, 0);
  EXPECT_FALSE(ClosingStepsRan(s));

  // Also when the station is the file's last row.
  Scenario t = MakeScenario();
  Read(t, TrainFile({a}), 2);
  EXPECT_EQ(t.errors.error_code, kCodeNoStationSlot);
}

TEST(TrainReader, StationNeverOverwritesABoardText) {
  // 80 boards: slot 1 holds the last board text, no slot is left.
  for (std::int32_t board_slot : {0, -1}) {
    SCOPED_TRACE(board_slot);
    Scenario s = MakeScenario();
    s.param_table[1].text = "board";
    Read(s,
         TrainFile({"stazione, 1000, 2, 200, 0,0,0,0,0,0,0,0,0,0, "
                    "0,0,0, A"}),
         board_slot);
    EXPECT_EQ(s.errors.error_code, kCodeNoStationSlot);
    EXPECT_EQ(s.param_table[1].text, "board");
    EXPECT_EQ(s.param_table[1].long3, 0);
    EXPECT_EQ(s.track_cells[1100 / 50 - 1].kind, kKindNone);
  }
}

TEST(TrainReader, LineReadersCode15EndsTheStageAtTheFirstPlacement) {
  Scenario s = MakeScenario();
  s.errors.error_code = kCodeBeyondArray;
  s.errors.error_position = 185000;
  Read(s, TrainFile({"velocita, 0, 50", "aderenza, 0, 70", "sabbia, 3",
                     "rallentamento, 3000, 60, 500, 0, 0, 0", "sabbia, 9"}));
  EXPECT_EQ(s.errors.error_code, kCodeBeyondArray);
  EXPECT_EQ(s.errors.error_position, 3000);
  EXPECT_EQ(s.param_table[kTrainSlot].int1, 3);
  EXPECT_EQ(s.track_cells[61].kind, kKindSlowdownStart);  // placed first
  EXPECT_FALSE(ClosingStepsRan(s));
  ASSERT_EQ(s.errors.diagnostics.size(), 1u);
  EXPECT_EQ(s.errors.diagnostics[0].where.line, 5);
  EXPECT_NE(s.errors.diagnostics[0].message.find("recorded earlier"),
            std::string::npos);
}

TEST(TrainReader, KilometreRecordCheck) {
  struct Case {
    std::int32_t long1, long2;
    bool fails;
  };
  const Case kCases[] = {
      {28000, 50, false}, {28025, 0, true}, {0, -25, true}, {-50, 100, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.long1);
    Scenario s = MakeScenario();
    s.param_table[82].long1 = c.long1;
    s.param_table[82].long2 = c.long2;
    s.param_table[82].long3 = 7;  // the flag is not checked
    Read(s, TrainFile({"velocita, 0, 50"}));
    EXPECT_EQ(s.errors.error_code, c.fails ? kCodeKilometreRecord : 0);
  }

  // A 15 from a row is replaced by 2 in the closing steps.
  Scenario s = MakeScenario();
  s.param_table[83].long2 = 10;
  Read(s, TrainFile(
              {"velocita, 0, 50", "aderenza, 0, 70", "velocita, 30000, 60"}));
  EXPECT_EQ(s.errors.error_code, kCodeKilometreRecord);
  EXPECT_EQ(s.errors.error_position, 30000);
  EXPECT_TRUE(ClosingStepsRan(s));
  ASSERT_EQ(s.errors.diagnostics.size(), 2u);
  EXPECT_EQ(s.errors.diagnostics[1].position, std::nullopt);
}

// A station row with its sixteen numbers and a name.
struct StationRow {
  std::int32_t position = 0;
  int kind = 2;
  std::int32_t length = 200;
  int f4 = 0, f5 = 0, f6 = 0, f7 = 0, f8 = 0, f9 = 0, f10 = 0, f11 = 0, f12 = 0,
      f13 = 0;
  std::int64_t hours = 0, minutes = 0, seconds = 0;
  std::string name = "X";
};

std::string Row(const StationRow& r) {
  std::string row = "stazione";
  for (std::int64_t v :
       {std::int64_t{r.position}, std::int64_t{r.kind}, std::int64_t{r.length},
        std::int64_t{r.f4}, std::int64_t{r.f5}, std::int64_t{r.f6},
        std::int64_t{r.f7}, std::int64_t{r.f8}, std::int64_t{r.f9},
        std::int64_t{r.f10}, std::int64_t{r.f11}, std::int64_t{r.f12},
        std::int64_t{r.f13}, r.hours, r.minutes, r.seconds}) {
    row += ",   " + std::to_string(v);
  }
  return row + ",   " + r.name;
}

TEST(TrainReader, StationFieldsGoToTheirSlotFields) {
  Scenario s = MakeScenario();
  Read(s, TrainFile({Row({.position = 3100,
                          .kind = 4,
                          .length = 600,
                          .f4 = 1,
                          .f5 = 1,
                          .f6 = 0,
                          .f7 = 3,
                          .f8 = 1,
                          .f9 = 7,
                          .f10 = 5,
                          .f11 = 1,
                          .f12 = -2,
                          .f13 = 60,
                          .hours = 17,
                          .minutes = 18,
                          .seconds = 0,
                          .name = "San Carlo-Est"}),
                     "sabbia, 9"}));
  EXPECT_EQ(s.errors.error_code, 0);
  const ParamSlot& p = s.param_table[1];
  EXPECT_EQ(p.byte1, 4);
  EXPECT_EQ(p.long1, 2800);
  EXPECT_EQ(p.long2, 3400);
  EXPECT_EQ(p.long3, 3100);
  EXPECT_EQ(p.byte2, 1);
  EXPECT_EQ(p.text, "San Carlo-Est");  // a dash inside a value
  EXPECT_EQ(p.int1, 3);
  EXPECT_EQ(p.int2, 1);
  EXPECT_EQ(p.int3, 5);
  EXPECT_EQ(p.int4, 1);
  EXPECT_EQ(p.int5, -2);
  EXPECT_EQ(p.byte3, 7);
  EXPECT_EQ(p.byte4, 60);
  EXPECT_EQ(p.byte5, 0);  // the first station
  EXPECT_EQ(p.byte6, 0);
  EXPECT_EQ(p.long4, 17 * 3600 + 18 * 60);
  EXPECT_EQ(s.param_table[kTrainSlot].int1, 9);
}

TEST(TrainReader, StationStretchesAndMarks) {
  struct Case {
    const char* name;
    StationRow row;
    std::int32_t start, end;
    std::uint8_t byte5, byte6;
    bool stop_mark, approach_marks;
  };
  // Each case is the second station, after one at 1000.
  const Case kCases[] = {
      {"kind 22, end flag",
       {.position = 17050, .kind = 22, .length = 300, .f6 = 1},
       16900,
       17250,
       1,
       0,
       true,
       true},
      {"last built-in station",
       {.position = 184600, .kind = 2, .length = 600, .f5 = 1},
       184300,
       184900,
       0,
       1,
       true,
       true},
      {"short station clears byte6",
       {.position = 184600, .kind = 2, .length = 500, .f5 = 1},
       184350,
       184850,
       0,
       0,
       true,
       true},
      {"kind 27: no marks",
       {.position = 8200, .kind = 27, .length = 400},
       8000,
       8400,
       0,
       0,
       false,
       false},
      {"kind 28, flag",
       {.position = 8200, .kind = 28, .length = 400, .f6 = 1},
       8000,
       8450,
       1,
       0,
       false,
       false},
      {"kind 5",
       {.position = 8200, .kind = 5, .length = 400, .f6 = 1},
       7800,
       8350,
       0,
       0,
       true,
       false},
      {"kind 6",
       {.position = 8200, .kind = 6, .length = 400},
       7800,
       8350,
       0,
       0,
       true,
       false},
      {"kind 7, flag",
       {.position = 8200, .kind = 7, .length = 400, .f6 = 1},
       7800,
       8600,
       0,
       0,
       true,
       true},
      {"kind 8, flag",
       {.position = 8200, .kind = 8, .length = 400, .f6 = 1},
       7800,
       8600,
       0,
       0,
       true,
       true},
      {"kind 24",
       {.position = 8200, .kind = 24, .length = 400},
       8000,
       8400,
       0,
       0,
       true,
       true},
      {"kind 25",
       {.position = 8200, .kind = 25, .length = 400},
       8000,
       8400,
       0,
       0,
       false,
       false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Scenario s = MakeScenario(kBuiltInLastCell);
    Read(s, TrainFile({Row({.position = 1000}), Row(c.row)}));
    ASSERT_EQ(s.errors.error_code, 0);
    const ParamSlot& p = s.param_table[2];
    EXPECT_EQ(p.long1, c.start);
    EXPECT_EQ(p.long2, c.end);
    EXPECT_EQ(p.byte5, c.byte5);
    EXPECT_EQ(p.byte6, c.byte6);
    const std::int64_t stop = c.end / 50 - 1;
    EXPECT_EQ(s.track_cells[stop].kind, c.stop_mark ? kKindStopMark : 0);
    EXPECT_EQ(s.track_cells[stop].w2, c.stop_mark ? 2 : 0);
    for (int j = 1; j <= 4; ++j) {
      EXPECT_EQ(s.track_cells[stop - j].b11, c.approach_marks ? 80 + j : 0);
    }
    EXPECT_EQ(s.track_cells[stop - 5].b11, 0);
  }
}

TEST(TrainReader, FirstStation) {
  Scenario s = MakeScenario(kBuiltInLastCell);
  Read(s, TrainFile({Row({.position = 0,
                          .kind = 8,
                          .length = 500,
                          .f4 = 1,
                          .f5 = 1,
                          .f6 = 1})}));
  ASSERT_EQ(s.errors.error_code, 0);
  const ParamSlot& p = s.param_table[1];
  EXPECT_EQ(p.long1, -500);
  EXPECT_EQ(p.long2, 500);
  EXPECT_EQ(p.byte5, 0);
  EXPECT_EQ(p.byte6, 0);
  EXPECT_EQ(s.track_cells[9].kind, kKindStopMark);
  EXPECT_EQ(s.track_cells[9].w2, 1);
  for (int cell : {8, 7, 6, 5}) {
    EXPECT_EQ(s.track_cells[cell].b11, 80 + 9 - cell);
  }

  // The first station's end keeps its 50 m extension although its flag is
  // cleared.
  Scenario t = MakeScenario(kBuiltInLastCell);
  Read(t,
       TrainFile({Row({.position = 1000, .kind = 2, .length = 200, .f6 = 1})}));
  EXPECT_EQ(t.param_table[1].long2, 1150);
  EXPECT_EQ(t.param_table[1].byte5, 0);
}

TEST(TrainReader, ApproachMarksNeverOnCellsZeroAndOne) {
  // End 250: stop mark in cell 4, approach marks only in cells 3 and 2.
  Scenario s = MakeScenario();
  s.track_cells[4].kind = kKindSignal;  // the stop mark overwrites it
  Read(s, TrainFile({Row({.position = 150, .kind = 2, .length = 200})}));
  ASSERT_EQ(s.errors.error_code, 0);
  EXPECT_EQ(s.track_cells[4].kind, kKindStopMark);
  EXPECT_EQ(s.track_cells[3].b11, 81);
  EXPECT_EQ(s.track_cells[2].b11, 82);
  EXPECT_EQ(s.track_cells[1].b11, 0);
  EXPECT_EQ(s.track_cells[0].b11, 0);
}

TEST(TrainReader, StationGap) {
  struct Case {
    std::int32_t gap;
    bool refused;
  };
  for (const Case& c : {Case{300, true}, Case{350, false}, Case{400, false}}) {
    SCOPED_TRACE(c.gap);
    // The first stretch ends at 1100; the second starts at 1100 + gap.
    const std::int32_t second = 1100 + c.gap + 100;
    Scenario s = MakeScenario();
    Read(s, TrainFile({Row({.position = 1000}), Row({.position = second})}));
    EXPECT_EQ(s.errors.error_code, c.refused ? kCodeStationTooClose : 0);
  }
}

TEST(TrainReader, StationStopsLeaveTheFieldsReadSoFar) {
  // Code 15: the position is in the slot.
  Scenario s = MakeScenario();
  Read(s, TrainFile({Row({.position = 19300})}));
  EXPECT_EQ(s.errors.error_code, kCodeBeyondArray);
  EXPECT_EQ(s.param_table[1].long3, 19300);
  EXPECT_TRUE(s.param_table[1].text.empty());

  // Code 9: the kind is in the slot.
  Scenario t = MakeScenario();
  Read(t, TrainFile({Row({.position = 3100, .kind = 12, .length = 450})}));
  EXPECT_EQ(t.errors.error_code, kCodeStationLength);
  EXPECT_EQ(t.param_table[1].byte1, 12);

  // A time beyond 32 bits faults after fields 4 to 13 were stored.
  Scenario u = MakeScenario();
  EXPECT_THROW(
      Read(u, TrainFile({Row({.position = 3100, .f13 = 60, .hours = 600000})})),
      Fault);
  EXPECT_EQ(u.param_table[1].byte4, 60);
  EXPECT_EQ(u.param_table[1].long4, 0);

  // A stretch start below the long range faults.
  Scenario v = MakeScenario();
  EXPECT_THROW(
      Read(v,
           TrainFile({Row(
               {.position = -2147483600, .kind = 7, .length = 2000000000})})),
      Fault);
  EXPECT_EQ(v.param_table[1].text, "X");
  EXPECT_EQ(v.param_table[1].long1, 0);
}

TEST(TrainReader, StationMarksOutsideTheArrayFault) {
  // A length far beyond the array puts the stop mark outside it.
  Scenario s = MakeScenario();
  EXPECT_THROW(Read(s, TrainFile({Row({.position = 3100, .length = 100000})})),
               Fault);
}

TEST(TrainReader, ByteFieldOutsideItsWidthFaults) {
  Scenario s = MakeScenario();
  EXPECT_THROW(Read(s, TrainFile({Row({.position = 3100, .kind = 256})})),
               Fault);
  EXPECT_EQ(s.param_table[1].long3, 3100);
}

}  // namespace
}  // namespace scenario
