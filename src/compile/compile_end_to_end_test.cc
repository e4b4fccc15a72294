// Compiles the small line and train pair through the whole compile stage
// and checks chosen bytes of the three files it writes.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>

#include "base/fake_file_system.h"
#include "compile/compile_stage.h"
#include "compile/small_pair_testing.h"
#include "model/errors.h"
#include "model/param_file.h"
#include "model/param_table.h"
#include "model/scenario.h"

namespace scenario {
namespace {

CompileFiles Files() {
  CompileFiles f;
  f.line_description = "/app/Tarvo_Cembrio_linea.txt";
  f.train_description = "/app/Tarvo_Cembrio_Exp 5147-.txt";
  f.grid_file = "/app/Tarvo_Cembrio_linea.dat";
  f.param_file = "/app/Tarvo_Cembrio_Exp 5147.sim";
  f.cell_file = "/app/Tarvo_Cembrio_Exp 5147.dat";
  return f;
}

// The 15 bytes of cell i in the cell file.
std::string Cell(const std::string& image, std::size_t i) {
  return image.substr(i * 15, 15);
}

std::uint8_t Byte(const std::string& s, std::size_t at) {
  return static_cast<std::uint8_t>(s.at(at));
}
std::int16_t Word(const std::string& s, std::size_t at) {
  return static_cast<std::int16_t>(Byte(s, at) | (Byte(s, at + 1) << 8));
}

class CompileEndToEnd : public ::testing::Test {
 protected:
  void Compile(std::int32_t j) {
    s_.line_name = "Tarvo_Cembrio";
    s_.train_name = "Exp 5147";
    fs_.files[files_.line_description] = SmallLineText();
    fs_.files[files_.train_description] = SmallTrainText();
    result_ = memorizza_percorso(s_, j, fs_, files_);
  }

  Scenario s_;
  FakeFileSystem fs_;
  CompileFiles files_ = Files();
  CompileResult result_;
};

TEST_F(CompileEndToEnd, WritesTheThreeFiles) {
  Compile(1);
  ASSERT_EQ(result_.end, CompileEnd::kWritten);
  EXPECT_EQ(s_.errors.error_code, 0);
  EXPECT_TRUE(s_.errors.diagnostics.empty());
  // Both descriptions are deleted once read.
  EXPECT_FALSE(fs_.Has(files_.line_description));
  EXPECT_FALSE(fs_.Has(files_.train_description));

  // The cell file.
  ASSERT_TRUE(fs_.Has(files_.cell_file));
  const std::string cells = fs_.Contents(files_.cell_file);
  ASSERT_EQ(cells.size(), 15u * 281);
  EXPECT_EQ(Word(cells, 16), 5121);  // bytes 01 14
  EXPECT_EQ(Word(cells, 18), 2352);  // the plain race code
  // Cell 12: speed 30 / 5, gradient 5 + 100, adhesion 76.
  EXPECT_EQ(Byte(Cell(cells, 12), 12), 6);
  EXPECT_EQ(Byte(Cell(cells, 12), 13), 105);
  EXPECT_EQ(Byte(Cell(cells, 12), 14), 76);
  // Cell 40: speed 95 / 5, gradient -3 + 100, adhesion 80.
  EXPECT_EQ(Byte(Cell(cells, 40), 12), 19);
  EXPECT_EQ(Byte(Cell(cells, 40), 13), 97);
  EXPECT_EQ(Byte(Cell(cells, 40), 14), 80);
  // The last three cells take no profile values.
  EXPECT_EQ(Cell(cells, 278).substr(12), std::string(3, '\0'));
  EXPECT_EQ(Byte(Cell(cells, 277), 12), 19);
  // First station: stop mark in cell 9, approach marks in cells 8 to 5.
  EXPECT_EQ(Byte(Cell(cells, 9), 0), 10);
  EXPECT_EQ(Word(Cell(cells, 9), 1), 1);
  EXPECT_EQ(Byte(Cell(cells, 8), 10), 81);
  EXPECT_EQ(Byte(Cell(cells, 5), 10), 84);
  // Second station (end 5300): stop mark in cell 105.
  EXPECT_EQ(Byte(Cell(cells, 105), 0), 10);
  EXPECT_EQ(Word(Cell(cells, 105), 1), 2);
  // The signal at 1050: cell 22, and its look-back mark in cell 20.
  EXPECT_EQ(Cell(cells, 22).substr(0, 10),
            std::string("\x01\x34\x00\x0b\x00\x0b\x00\x08\x00\xff", 10));
  EXPECT_EQ(Byte(Cell(cells, 20), 10), 81);
  // The code change at 1500 in cell 30.
  EXPECT_EQ(Byte(Cell(cells, 30), 0), 12);
  EXPECT_EQ(Word(Cell(cells, 30), 1), 270);
  // The indicator board at 2500 in cell 51, text in slot 80.
  EXPECT_EQ(Byte(Cell(cells, 51), 0), 14);
  EXPECT_EQ(Word(Cell(cells, 51), 1), 80);
  // The slowdown at 6000: start 121, end 131, warning 97, pre-warnings
  // 96 to 93.
  EXPECT_EQ(Byte(Cell(cells, 121), 0), 3);
  EXPECT_EQ(Word(Cell(cells, 121), 1), 60);
  EXPECT_EQ(Word(Cell(cells, 121), 5), 40);
  EXPECT_EQ(Byte(Cell(cells, 131), 0), 2);
  EXPECT_EQ(Byte(Cell(cells, 97), 0), 4);
  EXPECT_EQ(Byte(Cell(cells, 93), 0), 5);
  EXPECT_EQ(Word(Cell(cells, 93), 1), 4);
  // The post-pass: before the signal at 4450 (cell 90, below the warning
  // board), three before the slowdown start and one along it.
  for (std::size_t mark : {89u, 116u, 110u, 103u, 129u}) {
    SCOPED_TRACE(mark);
    EXPECT_EQ(Byte(Cell(cells, mark), 0), 12);
    EXPECT_EQ(Word(Cell(cells, mark), 1), 180);
  }
  // A mark keeps the station's approach mark in its cell.
  EXPECT_EQ(Byte(Cell(cells, 103), 10), 82);

  // The parameter file: slot 0 is 34 bytes, slot 1 (the first station)
  // follows.
  ASSERT_TRUE(fs_.Has(files_.param_file));
  const std::string params = fs_.Contents(files_.param_file);
  EXPECT_EQ(Byte(params, 34), 8);                                       // kind
  EXPECT_EQ(params.substr(35, 4), std::string("\x0c\xfe\xff\xff", 4));  // -500
  EXPECT_EQ(params.substr(39, 4), std::string("\xf4\x01\x00\x00", 4));  // 500
  EXPECT_EQ(params.substr(48, 7), std::string("\x05\x00Tarvo", 7));
  EXPECT_EQ(params.substr(69, 4), std::string("\xb2\xf2\x00\x00", 4));  // 62130
  ParamTable table;
  ASSERT_TRUE(DecodeParamFile(params, &table));
  EXPECT_EQ(table[2].text, "Borgo-Nuovo");
  EXPECT_EQ(table[2].long1, 4700);
  EXPECT_EQ(table[2].long2, 5300);
  EXPECT_EQ(table[2].byte6, 1);
  EXPECT_EQ(table[2].long4, 17 * 3600 + 25 * 60);
  EXPECT_EQ(table[80].text, "(Km 3+500)");
  EXPECT_EQ(table[84].long1, 120);
  EXPECT_EQ(table[84].long2, 7000);
  EXPECT_EQ(table[84].long3, 8);
  EXPECT_EQ(table[85].int1, 610);
  EXPECT_EQ(table[85].long4, 32107);
  EXPECT_EQ(table[86].int1, 220);
  EXPECT_EQ(table[86].int3, 17);
  EXPECT_EQ(table[86].int4, 15);
  EXPECT_EQ(table[86].int5, 30);
  EXPECT_EQ(table[86].long1, 1050);
  EXPECT_EQ(table[86].long3, 9);

  // The grid file, E = 14000: metres 0 and 1 are integers, the curve
  // turns right from metre 501.
  ASSERT_TRUE(fs_.Has(files_.grid_file));
  const std::string grid = fs_.Contents(files_.grid_file);
  ASSERT_EQ(grid.size(), 20u * 14000 - 36);
  EXPECT_EQ(grid.substr(0, 8),
            std::string("\x02\x00\x00\x00\x02\x00\x00\x00", 8));
  const std::size_t x501 = 8 + 10 * (501 - 2);
  EXPECT_EQ(Word(grid, x501), 5);
  std::uint64_t bits = 0;
  for (int b = 7; b >= 0; --b) bits = (bits << 8) | Byte(grid, x501 + 2 + b);
  EXPECT_DOUBLE_EQ(std::bit_cast<double>(bits), 0.0002);
  const std::size_t y0 = grid.size() / 2;
  EXPECT_EQ(grid.substr(y0, 8),
            std::string("\x02\x00\x00\x00\x02\x00\x01\x00", 8));
}

TEST_F(CompileEndToEnd, WithoutTheGridFlagWritesTwoFiles) {
  Compile(0);
  ASSERT_EQ(result_.end, CompileEnd::kWritten);
  EXPECT_FALSE(fs_.Has(files_.grid_file));
  EXPECT_TRUE(fs_.Has(files_.param_file));
  EXPECT_TRUE(fs_.Has(files_.cell_file));
}

// A small pair for the taken-cell diagnostics: a speed board at 1000 m
// (line file, line 4), an indicator board at 2500 m (line 5) and a signal
// at 1500 m (train file, line 2), each followed by one more row.
CompileResult CompileTakenPair(const std::string& line_row,
                               const std::string& train_row, Scenario* s) {
  FakeFileSystem fs;
  const CompileFiles files = Files();
  fs.files[files.line_description] = DescriptionText(
      {"[generale]", "lunghezza percorso,    3000", "[curve]",
       "indicatori_vmax,  1000,  90,  95,  100,  0,  ,  ,  ,  0",
       "cartello_indicatore,  2500,   (Km 3+500)", line_row, "[fine]"});
  fs.files[files.train_description] = DescriptionText(
      {"[generale]", "segnale,  1500,  2, 3, 1, 1, 0,  0, 0, 0, 0, 0",
       train_row, "[fine]"});
  s->line_name = "Tarvo_Cembrio";
  s->train_name = "Exp 5147";
  return memorizza_percorso(*s, 1, fs, files);
}

// A cell found taken names what holds it and the row that put it there.
TEST(CompileDiagnostics, TakenCellsNameTheirHolderAndItsRow) {
  const std::string line = Files().line_description;
  const std::string train = Files().train_description;
  const std::string board =
      " by the maximum-speed board at 1000 m (" + line + ":4:1)";
  const std::string signal = " by the signal at 1500 m (" + train + ":2:1)";
  struct Case {
    const char* line_row;
    const char* train_row;
    std::int32_t code;
    std::string holder;
  };
  const Case kCases[] = {
      {"cartello_indicatore,  1000,   (X)", "", 6, board},
      {"indicatori_vmax,  2500,  50,  ,  ,  0,  ,  ,  ,  0", "", 21,
       " by the indicator board at 2500 m (" + line + ":5:1)"},
      {"", "segnale,  1000,  2, 3, 1, 1, 0,  0, 0, 0, 0, 0", 16, board},
      {"", "abbattimento,  1550,  270", 7, signal},
      {"", "rallentamento,  2700,  60,  100,  40,  0,  0", 17, signal},
      {"", "rallentamento,  1000,  60,  500,  40,  0,  0", 18, board},
      {"", "rallentamento,  500,  60,  1000,  40,  0,  0", 19, signal},
      {"", "rallentamento,  2250,  60,  100,  40,  1,  0", 20, board},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.line_row) + c.train_row);
    Scenario s;
    const CompileResult r = CompileTakenPair(c.line_row, c.train_row, &s);
    EXPECT_EQ(r.end, CompileEnd::kWritten);
    ASSERT_EQ(s.errors.diagnostics.size(), 1u);
    const Diagnostic& d = s.errors.diagnostics[0];
    EXPECT_EQ(d.code, c.code);
    EXPECT_EQ(d.message, std::string(ExplainCode(c.code)) + c.holder);
  }
}

// A taken header word stands at the row of the item in cell 1.
TEST(CompileDiagnostics, TakenHeaderNamesTheItemInCellOne) {
  Scenario s;
  const CompileResult r = CompileTakenPair("", "abbattimento,  50,  270", &s);
  EXPECT_EQ(r.end, CompileEnd::kHeaderFatal);
  EXPECT_EQ(r.fatal_code, 1250);
  ASSERT_EQ(s.errors.diagnostics.size(), 1u);
  const Diagnostic& d = s.errors.diagnostics[0];
  EXPECT_EQ(d.where.file, Files().train_description);
  EXPECT_EQ(d.where.line, 3);
  EXPECT_EQ(d.message,
            std::string(ExplainCode(1250)) + " (the code change at 50 m)");
  EXPECT_EQ(s.errors.error_code, 0);
}

}  // namespace
}  // namespace scenario
