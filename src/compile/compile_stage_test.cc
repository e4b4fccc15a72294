#include "compile/compile_stage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/fake_file_system.h"
#include "base/scoped_temp_dir.h"
#include "model/cell_file.h"
#include "model/param_file.h"

namespace scenario {
namespace {

ParamTable Names(const std::string& line, const std::string& train) {
  ParamTable table;
  table[kLineSlot].text = line;
  table[kTrainSlot].text = train;
  return table;
}

TEST(RaceCodes, BuiltinNames) {
  const ParamTable table = Names("Tarvo_Cembrio", "Exp 5147");
  EXPECT_EQ(codice_gara_og(table), 2352);
  EXPECT_EQ(codice_gara_st(table), 32107);
}

TEST(RaceCodes, CaseDoesNotMatter) {
  const ParamTable capitals[] = {
      Names("TARVO_CEMBRIO", "EXP 5147"),
      Names("Tarvo_Cembrio", "EXP 5147"),
      Names("tarvo_cembrio", "exp 5147"),
  };
  for (const ParamTable& table : capitals) {
    SCOPED_TRACE(table[kTrainSlot].text + table[kLineSlot].text);
    EXPECT_EQ(codice_gara_og(table), 2352);
    EXPECT_EQ(codice_gara_st(table), 32107);
  }
  // Windows-1252 capitals beyond ASCII too: E grave, S caron, Y diaeresis.
  const ParamTable upper = Names("\xc8\x8a\x9f", "x");
  const ParamTable lower = Names("\xe8\x9a\xff", "x");
  EXPECT_EQ(codice_gara_og(upper), codice_gara_og(lower));
  EXPECT_EQ(codice_gara_st(upper), codice_gara_st(lower));
}

TEST(RaceCodes, ReorderingChangesOnlyTheWeightedCode) {
  const ParamTable swapped = Names("Exp 5147", "Tarvo_Cembrio");
  EXPECT_EQ(codice_gara_og(swapped), 2352);
  EXPECT_NE(codice_gara_st(swapped), 32107);
  const ParamTable changed = Names("Tarvo_Cembrio", "Exp 5148");
  EXPECT_NE(codice_gara_og(changed), 2352);
  EXPECT_NE(codice_gara_st(changed), 32107);
}

TEST(RaceCodes, OnlyTheFirst25BytesCount) {
  // Padding fills short names: "" + "" gives the first 25 padding letters.
  const ParamTable empty = Names("", "");
  std::int32_t og = 0, st = 0;
  for (int p = 1; p <= 25; ++p) {
    og += static_cast<unsigned char>(kRaceCodePadding[p - 1]);
    st += p * static_cast<unsigned char>(kRaceCodePadding[p - 1]);
  }
  EXPECT_EQ(codice_gara_og(empty), og);
  EXPECT_EQ(codice_gara_st(empty), st);
  // A train name of 25 bytes or more decides alone.
  const std::string long_train(25, 'z');
  EXPECT_EQ(codice_gara_st(Names("anything", long_train)),
            codice_gara_st(Names("else", long_train + "tail")));
  // The largest values still fit their fields.
  const ParamTable top = Names("", std::string(25, '\xff'));
  EXPECT_EQ(codice_gara_og(top), 25 * 255);
  EXPECT_EQ(codice_gara_st(top), 325 * 255);
}

// A model as the readers leave it for a line of length 0, built by hand.
Scenario HandBuilt(std::int32_t j) {
  Scenario s;
  s.line_name = "Tarvo_Cembrio";
  s.train_name = "Exp 5147";
  s.param_table[kLineSlot].text = s.line_name;
  s.param_table[kTrainSlot].text = s.train_name;
  s.write_line_file = j;
  s.extended_length = 7000;
  s.last_cell = 140;
  s.track_cells.Create(s.last_cell);
  s.track_cells[10].kind = kKindSignal;
  if (j != 0) {
    s.line_grid.Create(s.extended_length);
    s.line_grid.SetInt16(0, 0, 0);
    s.line_grid.SetInt16(1, 0, 1);
    for (std::int32_t m = 2; m <= s.extended_length - 2; ++m) {
      s.line_grid.SetDouble(m, 0.0, m);
    }
  }
  return s;
}

CompileFiles Files(const std::string& folder) {
  CompileFiles f;
  f.line_description = folder + "/L_linea.txt";
  f.train_description = folder + "/L_T-.txt";
  f.grid_file = folder + "/L_linea.dat";
  f.param_file = folder + "/L_T.sim";
  f.cell_file = folder + "/L_T.dat";
  return f;
}

TEST(StampAndWrite, StampsAndWritesGridParamsCellsInOrder) {
  Scenario s = HandBuilt(1);
  FakeFileSystem fs;
  const CompileFiles f = Files("/d");
  const CompileResult r = StampAndWrite(s, fs, f);
  ASSERT_EQ(r.end, CompileEnd::kWritten);
  const std::vector<std::string> order = {f.grid_file, f.param_file,
                                          f.cell_file};
  EXPECT_EQ(r.written, order);
  EXPECT_EQ(fs.Paths("write"), order);

  const std::string cells = fs.Contents(f.cell_file);
  ASSERT_EQ(cells.size(), 15u * 141);
  EXPECT_EQ(cells.substr(16, 4), std::string("\x01\x14\x30\x09", 4));
  ParamTable params;
  ASSERT_TRUE(DecodeParamFile(fs.Contents(f.param_file), &params));
  EXPECT_EQ(params[kLineSlot].int1, 610);
  EXPECT_EQ(params[kLineSlot].long4, 32107);
  EXPECT_EQ(fs.Contents(f.param_file).size(), 87u * 34 + 13 + 8);
  EXPECT_EQ(fs.Contents(f.grid_file).size(), 20u * 7000 - 36);
  EXPECT_EQ(s.errors.error_code, 0);
}

TEST(StampAndWrite, WithoutJOnlyParamsAndCellsAreWritten) {
  Scenario s = HandBuilt(0);
  FakeFileSystem fs;
  const CompileFiles f = Files("/d");
  fs.files[f.grid_file] = "older grid";
  const CompileResult r = StampAndWrite(s, fs, f);
  ASSERT_EQ(r.end, CompileEnd::kWritten);
  EXPECT_EQ(fs.Paths("write"),
            (std::vector<std::string>{f.param_file, f.cell_file}));
  EXPECT_EQ(fs.Contents(f.grid_file), "older grid");
}

TEST(StampAndWrite, TakenHeaderPlacesEndWithNothingWritten) {
  struct Case {
    const char* name;
    void (*spoil)(Scenario&);
    std::int32_t code;
  };
  const Case kCases[] = {
      {"cell 1 w2", [](Scenario& s) { s.track_cells[1].w2 = 1; }, 1250},
      {"slot 85 int1", [](Scenario& s) { s.param_table[85].int1 = -1; }, 1250},
      {"cell 1 w4", [](Scenario& s) { s.track_cells[1].w4 = 7; }, 1251},
      {"slot 85 long4", [](Scenario& s) { s.param_table[85].long4 = 9; }, 1251},
      {"both words: the first check wins",
       [](Scenario& s) { s.track_cells[1].w2 = s.track_cells[1].w4 = 1; },
       1250},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Scenario s = HandBuilt(1);
    c.spoil(s);
    // A code the readers left stays: the header checks record none.
    s.errors.Record(kCodeFault, std::nullopt, {});
    s.errors.error_position = 4321;
    FakeFileSystem fs;
    const CompileFiles f = Files("/d");
    fs.files[f.grid_file] = "old grid";
    fs.files[f.param_file] = "old params";
    fs.files[f.cell_file] = "old cells";
    const CompileResult r = StampAndWrite(s, fs, f);
    EXPECT_EQ(r.end, CompileEnd::kHeaderFatal);
    EXPECT_EQ(r.fatal_code, c.code);
    EXPECT_EQ(s.errors.error_code, kCodeFault);
    EXPECT_EQ(s.errors.error_position, 4321);
    ASSERT_EQ(s.errors.diagnostics.size(), 2u);
    EXPECT_EQ(s.errors.diagnostics.back().code, c.code);
    EXPECT_TRUE(r.written.empty());
    EXPECT_TRUE(fs.Paths("write").empty());
    EXPECT_EQ(fs.Contents(f.grid_file), "old grid");
    EXPECT_EQ(fs.Contents(f.param_file), "old params");
    EXPECT_EQ(fs.Contents(f.cell_file), "old cells");
  }
}

TEST(StampAndWrite, FailedWriteStopsAndKeepsTheOldFile) {
  struct Case {
    const char* failing;
    std::size_t written_before;
  };
  const Case kCases[] = {
      {"/d/L_linea.dat", 0}, {"/d/L_T.sim", 1}, {"/d/L_T.dat", 2}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.failing);
    Scenario s = HandBuilt(1);
    FakeFileSystem fs;
    const CompileFiles f = Files("/d");
    fs.files[c.failing] = "old";
    fs.fail_writes.insert(c.failing);
    const CompileResult r = StampAndWrite(s, fs, f);
    EXPECT_EQ(r.end, CompileEnd::kWriteFailed);
    EXPECT_EQ(r.written.size(), c.written_before);
    EXPECT_FALSE(r.write_status.ok());
    EXPECT_NE(r.write_status.message().find(c.failing), std::string::npos);
    EXPECT_EQ(fs.Contents(c.failing), "old");
    // Nothing is tried after the failure.
    EXPECT_EQ(fs.Paths("write").back(), c.failing);
  }
}

TEST(StampAndWrite, MissingFolderOnTheRealFileSystem) {
  ScopedTempDir dir;
  Scenario s = HandBuilt(0);
  const CompileFiles f = Files(dir.File("no such folder"));
  const CompileResult r = StampAndWrite(s, RealFileSystem(), f);
  ASSERT_EQ(r.end, CompileEnd::kWriteFailed);
  EXPECT_NE(r.write_status.message().find(f.param_file), std::string::npos);
  // The system's reason (in its own words) follows the name.
  EXPECT_NE(r.write_status.message().find(f.param_file + "\": "),
            std::string::npos)
      << r.write_status.message();
  EXPECT_EQ(dir.Listing(), "");
}

TEST(StampAndWrite, LongerOldFilesAreReplacedWholeOnTheRealFileSystem) {
  ScopedTempDir dir;
  const CompileFiles f = Files(dir.path());
  WriteWholeFile(f.param_file, std::string(100000, 'p'));
  WriteWholeFile(f.cell_file, std::string(100000, 'c'));
  Scenario s = HandBuilt(0);
  ASSERT_EQ(StampAndWrite(s, RealFileSystem(), f).end, CompileEnd::kWritten);
  EXPECT_EQ(ReadWholeFile(f.param_file), EncodeParamFile(s.param_table));
  EXPECT_EQ(std::filesystem::file_size(f.param_file), 87u * 34 + 21);
  EXPECT_EQ(std::filesystem::file_size(f.cell_file), 15u * 141);
  EXPECT_EQ(dir.Listing(), "L_T.dat, L_T.sim");
}

TEST(StampAndWrite, CheckOnlyStampsButWritesNothing) {
  Scenario s = HandBuilt(1);
  FakeFileSystem fs;
  CompileFiles f = Files("/d");
  f.write_outputs = false;
  const CompileResult r = StampAndWrite(s, fs, f);
  EXPECT_EQ(r.end, CompileEnd::kWritten);
  EXPECT_TRUE(r.written.empty());
  EXPECT_TRUE(fs.files.empty());
  EXPECT_EQ(s.track_cells[1].w2, 5121);
  EXPECT_EQ(s.track_cells[1].w4, 2352);
}

TEST(StampAndWrite, NoCellArrayWritesNothing) {
  Scenario s;
  FakeFileSystem fs;
  EXPECT_EQ(StampAndWrite(s, fs, Files("/d")).end, CompileEnd::kNoCellArray);
  s.track_cells.Create(0);  // cell 0 only: no header cell
  EXPECT_EQ(StampAndWrite(s, fs, Files("/d")).end, CompileEnd::kNoCellArray);
  EXPECT_TRUE(fs.log.empty());
}

TEST(CompileEndMessage, SaysWhatStoppedTheFiles) {
  CompileResult failed_first;
  failed_first.end = CompileEnd::kWriteFailed;
  failed_first.write_status = Status::Error("cannot write \"L.dat\"");
  CompileResult failed_later = failed_first;
  failed_later.written = {"L_T.sim"};
  CompileResult fatal;
  fatal.end = CompileEnd::kHeaderFatal;
  fatal.fatal_code = 1251;
  CompileResult no_cells;
  no_cells.end = CompileEnd::kNoCellArray;
  struct Case {
    const CompileResult& result;
    const char* want;
  };
  const Case kCases[] = {
      {CompileResult{}, ""},
      {fatal,
       "error 1251: the header places of cell 1 or slot 85 are taken; no "
       "binary file was written"},
      {no_cells,
       "no cell array was created from the line description; no binary file "
       "was written"},
      {failed_first, "cannot write \"L.dat\"; no binary file was written"},
      {failed_later,
       "cannot write \"L.dat\"; the binary files after it were not written"},
  };
  for (const Case& c : kCases) EXPECT_EQ(CompileEndMessage(c.result), c.want);
}

class MemorizzaDati : public ::testing::Test {
 protected:
  MemorizzaDati() {
    s_.line_name = "Tarvo_Cembrio";
    s_.train_name = "Exp 5147";
    fs_.files[f_.line_description] = "line";
    fs_.files[f_.train_description] = "train";
  }

  Scenario s_;
  FakeFileSystem fs_;
  CompileFiles f_ = Files("/d");
};

TEST_F(MemorizzaDati, MissingLineFileIsCode101AndTouchesNothing) {
  fs_.files.erase(f_.line_description);
  memorizza_dati(s_, fs_, f_);
  EXPECT_EQ(s_.errors.error_code, kCodeNoLineFile);
  EXPECT_EQ(s_.param_table[kLineSlot].text, "Tarvo_Cembrio");
  EXPECT_EQ(s_.param_table[kTrainSlot].text, "Exp 5147");
  EXPECT_TRUE(fs_.Paths("read").empty());
  EXPECT_TRUE(fs_.Paths("delete").empty());
  EXPECT_EQ(fs_.Contents(f_.train_description), "train");
  EXPECT_FALSE(s_.track_cells.exists());
}

TEST(MemorizzaDatiRealFiles, FolderInPlaceOfTheLineFileIsCode101) {
  ScopedTempDir dir;
  const CompileFiles f = Files(dir.path());
  std::filesystem::create_directory(f.line_description);
  WriteWholeFile(f.train_description, "train");
  Scenario s;
  memorizza_dati(s, RealFileSystem(), f);
  EXPECT_EQ(s.errors.error_code, kCodeNoLineFile);
  EXPECT_TRUE(std::filesystem::is_directory(f.line_description));
  EXPECT_EQ(ReadWholeFile(f.train_description), "train");
}

TEST_F(MemorizzaDati, FailedReadIsAFaultThatDeletesBothFiles) {
  s_.errors.error_position = 777;
  fs_.fail_reads.insert(f_.line_description);
  memorizza_dati(s_, fs_, f_);
  EXPECT_EQ(s_.errors.error_code, kCodeFault);
  EXPECT_EQ(s_.errors.error_position, 777);
  ASSERT_EQ(s_.errors.diagnostics.size(), 1u);
  const Diagnostic& d = s_.errors.diagnostics[0];
  EXPECT_EQ(d.where.file, f_.line_description);
  EXPECT_NE(d.message.find(ExplainCode(kCodeFault)), std::string::npos);
  EXPECT_NE(d.message.find("injected failure"), std::string::npos);
  EXPECT_FALSE(fs_.Has(f_.line_description));
  EXPECT_FALSE(fs_.Has(f_.train_description));
}

TEST_F(MemorizzaDati, FaultAwayFromTheTextIsPlacedAtTheFieldReadLast) {
  // A row before the length row stops the reading (code 15), and the
  // closing gradient fill then touches a cell array that does not exist:
  // the model's fault knows no place, the reader does.
  fs_.files[f_.line_description] =
      "[generale]\r\n[curve]\r\nmontagna,  100,  400,  2\r\n[fine]\r\n";
  memorizza_dati(s_, fs_, f_);
  EXPECT_EQ(s_.errors.error_code, kCodeFault);
  ASSERT_FALSE(s_.errors.diagnostics.empty());
  const Diagnostic& d = s_.errors.diagnostics.back();
  EXPECT_EQ(d.where.file, f_.line_description);
  EXPECT_EQ(d.where.line, 3);
}

TEST_F(MemorizzaDati, FaultKeepsFilesThatAreNotToBeDeleted) {
  f_.delete_descriptions = false;
  fs_.fail_reads.insert(f_.line_description);
  memorizza_dati(s_, fs_, f_);
  EXPECT_EQ(s_.errors.error_code, kCodeFault);
  EXPECT_TRUE(fs_.Paths("delete").empty());
}

TEST_F(MemorizzaDati, FailedDeleteInTheHandlerIsIgnored) {
  fs_.fail_reads.insert(f_.line_description);
  fs_.fail_deletes.insert(f_.line_description);
  memorizza_dati(s_, fs_, f_);
  EXPECT_EQ(s_.errors.error_code, kCodeFault);
  EXPECT_EQ(
      fs_.Paths("delete"),
      (std::vector<std::string>{f_.line_description, f_.train_description}));
  EXPECT_FALSE(fs_.Has(f_.train_description));
}

TEST_F(MemorizzaDati, LineFileIsDeletedWhateverTheReaderSays) {
  // An empty line description never reaches the length row.
  fs_.files[f_.line_description] = "";
  memorizza_dati(s_, fs_, f_);
  EXPECT_FALSE(fs_.Has(f_.line_description));
  EXPECT_FALSE(s_.track_cells.exists());
}

TEST(MemorizzaPercorso, ResetsThenEndsWithoutCellArrayWritingNothing) {
  Scenario s;
  s.line_name = "L";
  s.train_name = "T";
  s.errors.error_code = 99;
  s.errors.Record(99, 5, {});
  s.param_table[3].text = "left from before";
  s.param_table[kLineSlot].long4 = 4;
  FakeFileSystem fs;
  const CompileFiles f = Files("/d");
  fs.files[f.line_description] = "";
  fs.files[f.param_file] = "old params";
  const CompileResult r = memorizza_percorso(s, 1, fs, f);
  EXPECT_EQ(r.end, CompileEnd::kNoCellArray);
  EXPECT_EQ(s.write_line_file, 1);
  EXPECT_NE(s.errors.error_code, 99);
  for (const Diagnostic& d : s.errors.diagnostics) EXPECT_NE(d.code, 99);
  EXPECT_EQ(s.param_table[3].text, "");
  EXPECT_EQ(s.param_table[kLineSlot].long4, 0);
  EXPECT_EQ(s.param_table[kLineSlot].text, "L");
  EXPECT_TRUE(fs.Paths("write").empty());
  EXPECT_EQ(fs.Contents(f.param_file), "old params");
  EXPECT_FALSE(fs.Has(f.line_description));
}

TEST(MemorizzaPercorso, MissingLineFileEndsWithoutCellArray) {
  Scenario s;
  FakeFileSystem fs;
  const CompileFiles f = Files("/d");
  fs.files[f.train_description] = "train";
  const CompileResult r = memorizza_percorso(s, 0, fs, f);
  EXPECT_EQ(r.end, CompileEnd::kNoCellArray);
  EXPECT_EQ(s.errors.error_code, kCodeNoLineFile);
  EXPECT_EQ(fs.Contents(f.train_description), "train");
  EXPECT_TRUE(fs.Paths("write").empty());
}

}  // namespace
}  // namespace scenario
