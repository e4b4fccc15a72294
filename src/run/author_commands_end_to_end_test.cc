// Runs the real executable on real files, as an author would.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "base/child_process_testing.h"
#include "base/scoped_temp_dir.h"
#include "base/windows1252.h"

namespace scenario {
namespace {

using ExeRun = ChildRun;

// Runs exe with args in folder dir, with the environment changed by env;
// stdout and stderr are captured.
ExeRun RunIn(const ScopedTempDir& dir, const std::string& exe,
             const std::vector<std::string>& args,
             const std::vector<EnvironmentChange>& env = {}) {
  std::vector<std::string> argv = {exe};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunChild(argv, dir.path(), env);
}

ExeRun Compiler(const ScopedTempDir& dir,
                const std::vector<std::string>& args) {
  return RunIn(dir, SCENARIO_COMPILER_EXE, args);
}

std::string Lines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* l : lines) text += std::string(l) + "\r\n";
  return text;
}

// A 5 km line whose kilometre record "uno" starts at 1025, which is not a
// multiple of 50 (code 2 once the train has been read).
std::string SmallLine(const char* record_uno, const char* board_row) {
  return Lines(
      {"[generale]", "lunghezza percorso,    5000", record_uno,
       "progressiva chilometrica due,    0,    0,    0",
       "progressiva chilometrica tre,    0,    0,    0", "sfondo uno,    1",
       "sfondo due,    0", "sfondo tre,    0",
       "ripetizione segnali 9 codici,    0,    0", "[curve]",
       "curvas1,  1000,  200", "[pendenze]", "pendenza,  0,   0",
       "pendenza,  2000,   5", "[cartelli]", board_row, "[indicazioni]",
       "cartello_indicatore,  3000,   (  Cippo  )(Km 3+000)", "[fine]"});
}

constexpr const char* kCleanRecord =
    "progressiva chilometrica uno,    0,    0,    0";
constexpr const char* kCleanBoard =
    "indicatori_vmax,  1000,  90,  95,  100,  0,  ,  ,  ,  0";

std::string SmallTrain(const char* speed_row) {
  return Lines({"[generale]", "numero vetture,    8",
                "percentuale massa frenata,    120", "sabbia,    220",
                "orologio,    17              15            30 ", "[aderenze]",
                "aderenza,       0,    76", "[vel_limite]",
                "velocita,   0,    30", speed_row, "[stazioni]",
                "stazione,       0,  8,  500,  1, 0, 0,  3,1,0,  2,1,1,    1,  "
                "17,15,30, Alfa",
                "[segnali]",
                "segnale,    2250,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
                "[codici]", "[fine]"});
}

class AuthorCommands : public ::testing::Test {
 protected:
  // Writes the pair as Valle_linea.txt and Valle_R 1-.txt.
  void WritePair(const std::string& line, const std::string& train) {
    line_ = dir_.File("Valle_linea.txt");
    train_ = dir_.File("Valle_R 1-.txt");
    WriteWholeFile(line_, line);
    WriteWholeFile(train_, train);
    line_text_ = line;
    train_text_ = train;
  }
  // The inputs are never deleted or changed, whatever happens.
  void ExpectInputsUnchanged() {
    EXPECT_EQ(ReadWholeFile(line_), line_text_);
    EXPECT_EQ(ReadWholeFile(train_), train_text_);
  }

  ScopedTempDir dir_;
  std::string line_;
  std::string train_;
  std::string line_text_;
  std::string train_text_;
};

TEST_F(AuthorCommands, CleanPairCompilesUnderTheNamesItsFilesGive) {
  WritePair(SmallLine(kCleanRecord, kCleanBoard),
            SmallTrain("velocita,    1000,    95"));
  ExeRun run = Compiler(dir_, {"compile", line_, train_, "-o", dir_.path()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err,
            "scenario-compiler: 3 files written: 0 codes, 0 warnings\n");
  EXPECT_EQ(std::filesystem::file_size(dir_.File("Valle_R 1.dat")), 15u * 241);
  EXPECT_TRUE(std::filesystem::exists(dir_.File("Valle_R 1.sim")));
  EXPECT_EQ(std::filesystem::file_size(dir_.File("Valle_linea.dat")),
            20u * 12000 - 36);
  ExpectInputsUnchanged();

  // A missing output folder is created.
  run = Compiler(dir_, {"compile", line_, train_, "-o", "new/sub"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(std::filesystem::exists(dir_.File("new/sub/Valle_R 1.sim")));

  // --no-grid writes no grid file.
  ScopedTempDir out;
  run = Compiler(dir_, {"compile", line_, train_, "-o", out.path(), "--no-grid",
                        "--line-name", "V", "--train-name", "T"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(out.Listing(), "V_T.dat, V_T.sim");
  EXPECT_EQ(run.err,
            "scenario-compiler: 2 files written: 0 codes, 0 warnings\n");

  // --quiet leaves the closing line out.
  run = Compiler(dir_, {"compile", line_, train_, "-o", out.path(), "-q"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
}

TEST_F(AuthorCommands, RecordedCodesAreListedWhereTheyStand) {
  WritePair(SmallLine("progressiva chilometrica uno,    1025,    0,    0",
                      kCleanBoard),
            SmallTrain("velocita,    20000,    95"));
  ExeRun run = Compiler(dir_, {"compile", line_, train_, "-o", dir_.path()});
  EXPECT_EQ(run.status, 1);
  // The speed row beyond the array (train file, line 10, column 1), then
  // the kilometre record that is not a multiple of 50.
  EXPECT_NE(run.err.find(train_ + ":10:1: error 15: "), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("(at 20000 m, km "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(line_ + ": error 2: "), std::string::npos) << run.err;
  // The files are still written.
  EXPECT_TRUE(std::filesystem::exists(dir_.File("Valle_R 1.dat")));
  ExpectInputsUnchanged();

  run = Compiler(dir_, {"check", line_, train_, "--json"});
  EXPECT_EQ(run.status, 1);
  const nlohmann::json doc = nlohmann::json::parse(run.out);
  EXPECT_EQ(doc["error_code"], 2);
  EXPECT_EQ(doc["error_position"], 20000);
  EXPECT_EQ(doc["last_cell"], 240);
  EXPECT_EQ(doc["extended_length"], 12000);
  EXPECT_TRUE(doc["written"].empty());
  ASSERT_EQ(doc["diagnostics"].size(), 2u);
  EXPECT_EQ(doc["diagnostics"][0]["code"], 15);
  EXPECT_EQ(doc["diagnostics"][0]["line"], 10);
  EXPECT_EQ(doc["diagnostics"][0]["column"], 1);
  EXPECT_EQ(doc["diagnostics"][0]["position"], 20000);
  EXPECT_TRUE(doc["diagnostics"][1]["position"].is_null());
  ExpectInputsUnchanged();
}

TEST_F(AuthorCommands, FaultPointsAtTheFieldAndKeepsTheInputs) {
  WritePair(SmallLine(kCleanRecord, kCleanBoard),
            SmallTrain("velocita,    1000,    9x5"));
  ExeRun run = Compiler(dir_, {"compile", line_, train_, "-o", dir_.path()});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(train_ + ":10:"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("error 25: "), std::string::npos) << run.err;
  ExpectInputsUnchanged();
}

TEST_F(AuthorCommands, FatalEndsWriteNothing) {
  // A speed board at metre 0 lands in cell 1, the header cell: 1250.
  WritePair(SmallLine(kCleanRecord,
                      "indicatori_vmax,  0,  90,  95,  100,  0,  ,  ,  ,  0"),
            SmallTrain("velocita,    1000,    95"));
  ScopedTempDir out;
  ExeRun run = Compiler(dir_, {"compile", line_, train_, "-o", out.path()});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("error 1250"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("no binary file was written"), std::string::npos);
  EXPECT_EQ(out.Listing(), "");
  ExpectInputsUnchanged();

  // --json: the header check ends the compile without recording a code,
  // so error_code and error_position stay as the readers left them (here
  // the speed row beyond the array: 15 at 20000 m).
  WritePair(SmallLine(kCleanRecord,
                      "indicatori_vmax,  0,  90,  95,  100,  0,  ,  ,  ,  0"),
            SmallTrain("velocita,    20000,    95"));
  run = Compiler(dir_, {"check", line_, train_, "--json"});
  EXPECT_EQ(run.status, 2);
  const nlohmann::json doc = nlohmann::json::parse(run.out);
  EXPECT_EQ(doc["fatal_code"], 1250);
  EXPECT_EQ(doc["error_code"], 15);
  EXPECT_EQ(doc["error_position"], 20000);
  ASSERT_FALSE(doc["diagnostics"].empty());
  EXPECT_EQ(doc["diagnostics"].back()["code"], 1250);
}

// A train file named without the "-" names the train after the line's
// prefix, and says so.
TEST_F(AuthorCommands, TrainFileOffTheRuleIsNamedAfterThePrefix) {
  WritePair(SmallLine(kCleanRecord, kCleanBoard),
            SmallTrain("velocita,    1000,    95"));
  const std::string train = dir_.File("Valle_R 12.txt");
  WriteWholeFile(train, train_text_);
  ScopedTempDir out;
  ExeRun run = Compiler(dir_, {"compile", line_, train, "-o", out.path()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("note: the train file's name \"Valle_R 12.txt\""),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("\"R 12\""), std::string::npos) << run.err;
  EXPECT_TRUE(std::filesystem::exists(out.File("Valle_R 12.sim")));
  EXPECT_TRUE(std::filesystem::exists(out.File("Valle_R 12.dat")));
}

// A missing or unreadable input is a usage error: nothing is written, and
// binary files from an earlier good compile stay as they were.
TEST_F(AuthorCommands, UnreadableInputsAreUsageErrors) {
  WritePair(SmallLine(kCleanRecord, kCleanBoard),
            SmallTrain("velocita,    1000,    95"));
  ScopedTempDir out;
  ExeRun run = Compiler(dir_, {"compile", line_, train_, "-o", out.path()});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string good_cells = ReadWholeFile(out.File("Valle_R 1.dat"));
  const std::string listing = out.Listing();
  std::filesystem::create_directory(dir_.File("Valle_R 2-.txt"));

  struct Case {
    std::string line;
    std::string train;
    std::string named;  // the file the message must name
  };
  const Case kCases[] = {
      {line_, dir_.File("Valle_R 1 -.txt"), dir_.File("Valle_R 1 -.txt")},
      {dir_.File("Monte_linea.txt"), train_, dir_.File("Monte_linea.txt")},
      {line_, dir_.File("Valle_R 2-.txt"), dir_.File("Valle_R 2-.txt")},
  };
  for (const Case& c : kCases) {
    for (const char* command : {"compile", "check"}) {
      SCOPED_TRACE(std::string(command) + " " + c.named);
      std::vector<std::string> args = {command, c.line, c.train};
      if (std::string(command) == "compile") {
        args.insert(args.end(), {"-o", out.path(), "--train-name", "R 1"});
      }
      run = Compiler(dir_, args);
      EXPECT_EQ(run.status, 2);
      EXPECT_NE(run.err.find("\"" + c.named + "\""), std::string::npos)
          << run.err;
      EXPECT_NE(run.err.find("nothing was written"), std::string::npos);
      EXPECT_EQ(out.Listing(), listing);
      EXPECT_EQ(ReadWholeFile(out.File("Valle_R 1.dat")), good_cells);
    }
  }
  ExpectInputsUnchanged();
}

TEST_F(AuthorCommands, DiagnosticShowsItsRowWithACaretUnderTheColumn) {
  // A station named with accented letters (one byte each in the file, two
  // in UTF-8), then, on the same line, a speed row whose speed is no
  // number: the fault stands after the name.
  const std::string row =
      "stazione,       0,  8,  500,  1, 0, 0,  3,1,0,  2,1,1,    1,  "
      "17,15,30, Citt\xe0 di Forl\xec, velocita, 1000, 9O";
  const int column = static_cast<int>(row.find("9O")) + 1;
  WritePair(
      SmallLine(kCleanRecord, kCleanBoard),
      Lines({"[generale]", "numero vetture,    8", "[vel_limite]",
             "velocita,   0,    30", "[stazioni]", row.c_str(), "[fine]"}));
  const std::string shown = Windows1252ToUtf8(row);
  ASSERT_NE(shown.size(), row.size());

  ExeRun run = Compiler(dir_, {"check", line_, train_});
  EXPECT_EQ(run.status, 1);
  const std::string head = train_ + ":6:" + std::to_string(column) + ": ";
  const std::size_t at = run.err.find(head + "error 25: ");
  ASSERT_NE(at, std::string::npos) << run.err;
  const std::size_t end = run.err.find('\n', at);
  EXPECT_EQ(run.err.substr(end - 36, 36),
            " (try: scenario-compiler explain 25)");
  EXPECT_EQ(run.err.substr(end + 1),
            "  " + shown + "\n  " + std::string(column - 1, ' ') + "^\n");

  run = Compiler(dir_, {"check", line_, train_, "--no-source"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err.find(shown), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find('^'), std::string::npos) << run.err;

  run = Compiler(dir_, {"check", line_, train_, "--json"});
  EXPECT_EQ(run.status, 1);
  const nlohmann::json doc = nlohmann::json::parse(run.out);
  ASSERT_EQ(doc["diagnostics"].size(), 1u);
  EXPECT_EQ(doc["diagnostics"][0]["source"], shown);
  EXPECT_EQ(doc["diagnostics"][0]["column"], column);
  ExpectInputsUnchanged();
}

TEST_F(AuthorCommands, DiagnosticWithoutALineShowsNoRow) {
  // Code 2 is found once everything has been read: it names the line file
  // but no row of it.
  WritePair(SmallLine("progressiva chilometrica uno,    1025,    0,    0",
                      kCleanBoard),
            SmallTrain("velocita,    1000,    95"));
  ExeRun run = Compiler(dir_, {"check", line_, train_});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, line_ +
                         ": error 2: a kilometre reference record's start or "
                         "offset is not a multiple of 50 (try: "
                         "scenario-compiler explain 2)\n");
  run = Compiler(dir_, {"check", line_, train_, "--json"});
  const nlohmann::json doc = nlohmann::json::parse(run.out);
  EXPECT_TRUE(doc["diagnostics"][0]["source"].is_null());
}

TEST(AuthorExplain, KnowsEveryRecordableCodeAndRefusesOthers) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* out_starts;  // nullptr: nothing on stdout
    const char* err_has;     // nullptr: nothing on stderr
  };
  constexpr const char* kUnknown = "is neither a code that a compile can";
  const Case cases[] = {
      {{"explain", "16"}, 0, "error 16: a signal falls on a cell", nullptr},
      {{"explain", "1250"}, 0, "error 1250: ", nullptr},
      {{"explain", "decimal-comma"}, 0, "warning decimal-comma: ", nullptr},
      {{"explain", "--all"}, 0, "# Error codes\n", nullptr},
      // A warning's name mistyped or cut short: the nearest is offered.
      {{"explain", "Decimal-Comma"},
       2,
       nullptr,
       "; did you mean \"decimal-comma\"? "},
      {{"explain", "decimal"},
       2,
       nullptr,
       "\"decimal\" is neither a code that a compile can record nor a "
       "warning's name; did you mean \"decimal-comma\"? "
       "`scenario-compiler explain --all` lists them all\n"},
      {{"explain", "time-to-short"},
       2,
       nullptr,
       "did you mean \"time-too-short\"?"},
      {{"explain", "14"}, 2, nullptr, kUnknown},
      {{"explain", "signal"}, 2, nullptr, kUnknown},
      {{"explain", "-5"}, 2, nullptr, ""},
      {{"explain"}, 2, nullptr, "give one CODE"},
      {{"explain", "16", "--all"}, 2, nullptr, "give one CODE"},
  };
  ScopedTempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    const ExeRun run = Compiler(dir, c.args);
    EXPECT_EQ(run.status, c.status) << run.err;
    if (c.out_starts == nullptr) {
      EXPECT_EQ(run.out, "");
      EXPECT_NE(run.err, "");
    } else {
      EXPECT_EQ(run.out.rfind(c.out_starts, 0), 0u) << run.out;
    }
    if (c.err_has == nullptr) {
      EXPECT_EQ(run.err, "");
    } else {
      EXPECT_NE(run.err.find(c.err_has), std::string::npos) << run.err;
    }
  }
  // Nothing near: no guess.
  EXPECT_EQ(Compiler(dir, {"explain", "signal"}).err.find("did you mean"),
            std::string::npos);
}

TEST(AuthorExample, ReferenceExamplePairCompilesCleanly) {
  // The format reference's example pair must stay a clean scenario: no
  // code and no warning: standard error holds the closing line alone.
  ScopedTempDir out;
  const std::string folder = SCENARIO_DOCS_DIR "/example/";
  ExeRun run =
      Compiler(out, {"compile", folder + "Valle_linea.txt",
                     folder + "Valle_R 12-.txt", "-o", out.path(), "--werror"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err,
            "scenario-compiler: 3 files written: 0 codes, 0 warnings\n");
  EXPECT_EQ(out.Listing(), "Valle_R 12.dat, Valle_R 12.sim, Valle_linea.dat");
  run = Compiler(out, {"lint", folder + "Valle_linea.txt",
                       folder + "Valle_R 12-.txt", "--json"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(nlohmann::json::parse(run.out)["warnings"].size(), 0u) << run.out;
}

// The reference shows the example files whole, and they hold a row of
// every kind the reference describes.
TEST(AuthorExample, ReferenceShowsTheExampleAndItHoldsEveryRowKind) {
  const std::string reference = ReadWholeFile(SCENARIO_DOCS_DIR "/format.md");
  const std::string folder = SCENARIO_DOCS_DIR "/example/";
  std::string both;
  for (const char* name : {"Valle_linea.txt", "Valle_R 12-.txt"}) {
    SCOPED_TRACE(name);
    std::string text = ReadWholeFile(folder + name);
    ASSERT_NE(text.find("\r\n"), std::string::npos) << "CR LF line ends";
    std::string shown;
    for (char c : text) {
      if (c != '\r') shown += c;
    }
    EXPECT_NE(reference.find("```\n" + shown + "```\n"), std::string::npos);
    both += shown;
  }
  constexpr const char* kRowStarts[] = {"\nlunghezza percorso,",
                                        "\nprogressiva chilometrica uno,",
                                        "\nprogressiva chilometrica due,",
                                        "\nprogressiva chilometrica tre,",
                                        "\nsfondo uno,",
                                        "\nsfondo due,",
                                        "\nsfondo tre,",
                                        "\nripetizione segnali ",
                                        "\ncurvas",
                                        "\ncurvad",
                                        "\npendenza,",
                                        "\nmontagna,",
                                        "\nindicatori_vmax,",
                                        "\ncartello_indicatore,",
                                        "\nnumero vetture,",
                                        "\npercentuale massa frenata,",
                                        "\nsabbia,",
                                        "\norologio,",
                                        "\naderenza,",
                                        "\nvelocita,",
                                        "\nstazione,",
                                        "\nrallentamento,",
                                        "\nsegnale,",
                                        "\nabbattimento,"};
  for (const char* row : kRowStarts) {
    SCOPED_TRACE(row);
    EXPECT_NE(both.find(row), std::string::npos);
  }
}

TEST_F(AuthorCommands, BadNamesAreRefused) {
  WritePair(SmallLine(kCleanRecord, kCleanBoard),
            SmallTrain("velocita,    1000,    95"));
  // "linea" would give the cell file the grid's name.
  for (const char* name : {"a/b", "", "linea"}) {
    ScopedTempDir out;
    ExeRun run = Compiler(dir_, {"compile", line_, train_, "-o", out.path(),
                                 "--train-name", name});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("train name"), std::string::npos) << run.err;
    EXPECT_EQ(out.Listing(), "");
  }
  // An output that would overwrite an input is refused: here the train
  // description is named like the parameter file the names give.
  const std::string sim_named = dir_.File("Valle_R.sim");
  WriteWholeFile(sim_named, train_text_);
  ExeRun run = Compiler(dir_, {"compile", line_, sim_named, "-o", dir_.path(),
                               "--train-name", "R"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("is the input file"), std::string::npos) << run.err;
  EXPECT_EQ(ReadWholeFile(sim_named), train_text_);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("Valle_R.dat")));
  ExpectInputsUnchanged();
}

TEST_F(AuthorCommands, WarningsShowUnlessHiddenAndCountOnlyWithWerror) {
  // "95,5": the comma splits the speed into 95 and a stray field "5".
  WritePair(SmallLine(kCleanRecord, kCleanBoard),
            SmallTrain("velocita,    1000,    95,5"));
  const std::string warning =
      train_ + ":10:23: warning decimal-comma: \"95,5\" is read as 95";

  ScopedTempDir plain;
  ScopedTempDir warned;
  ExeRun run =
      Compiler(dir_, {"compile", "-w", line_, train_, "-o", plain.path()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err,
            "scenario-compiler: 3 files written: 0 codes, warnings not looked "
            "for (-w)\n");
  // Shown with no option; -W, which once asked for them, changes nothing.
  for (const char* option : {"--no-source", "-W"}) {
    SCOPED_TRACE(option);
    run =
        Compiler(dir_, {"compile", option, line_, train_, "-o", warned.path()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find(warning), 0u) << run.err;
    EXPECT_NE(run.err.find("(at 1000 m, km 1+000) (try: scenario-compiler "
                           "explain decimal-comma)\n"),
              std::string::npos);
    EXPECT_TRUE(run.err.ends_with(
        "\nscenario-compiler: 3 files written: 0 codes, 1 warning\n"))
        << run.err;
  }
  for (const char* name :
       {"Valle_linea.dat", "Valle_R 1.sim", "Valle_R 1.dat"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(ReadWholeFile(plain.File(name)) ==
                ReadWholeFile(warned.File(name)));
  }

  run = Compiler(dir_, {"lint", line_, train_});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err.find(warning), 0u) << run.err;
  EXPECT_EQ(run.out, "");
  run = Compiler(dir_, {"lint", line_, train_, "--werror"});
  EXPECT_EQ(run.status, 1);
  run = Compiler(dir_, {"check", "--werror", line_, train_});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err.find(warning), 0u) << run.err;
  run = Compiler(
      dir_, {"lint", line_, train_, "--werror", "--no-warn", "decimal-comma"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  run = Compiler(dir_, {"lint", line_, train_, "--no-warn", "decimal-coma"});
  EXPECT_EQ(run.status, 2);
  run = Compiler(dir_, {"check", line_, train_, "-w", "--werror"});
  EXPECT_EQ(run.status, 2);

  // check --json holds the warnings as lint's does, unless -w hides them.
  run = Compiler(dir_, {"check", line_, train_, "--json"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(nlohmann::json::parse(run.out)["warnings"].size(), 1u) << run.out;
  run = Compiler(dir_, {"check", line_, train_, "--json", "-w"});
  EXPECT_EQ(run.status, 0);
  EXPECT_FALSE(nlohmann::json::parse(run.out).contains("warnings")) << run.out;

  run = Compiler(dir_, {"lint", line_, train_, "--json"});
  EXPECT_EQ(run.status, 0);
  const nlohmann::json doc = nlohmann::json::parse(run.out);
  ASSERT_EQ(doc["warnings"].size(), 1u);
  EXPECT_EQ(doc["warnings"][0]["name"], "decimal-comma");
  EXPECT_EQ(doc["warnings"][0]["line"], 10);
  EXPECT_EQ(doc["warnings"][0]["column"], 23);
  EXPECT_EQ(doc["warnings"][0]["position"], 1000);
  ExpectInputsUnchanged();
}

// The closing line counts in the singular where there is one.
TEST_F(AuthorCommands, ClosingLineCountsCodesAndWarnings) {
  struct Case {
    const char* speed_row;
    int status;
    const char* last_line;
  };
  const Case kCases[] = {
      {"velocita,    1000,    95", 0, "0 codes, 0 warnings"},
      {"velocita,    1000,    95,5", 0, "0 codes, 1 warning"},
      // Beyond the line's end: code 15, and the files are still written.
      {"velocita,    20000,    95", 1, "1 code, 0 warnings"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.speed_row);
    WritePair(SmallLine(kCleanRecord, kCleanBoard), SmallTrain(c.speed_row));
    const ExeRun run = Compiler(dir_, {"compile", line_, train_});
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_TRUE(run.err.ends_with(std::string("scenario-compiler: 3 files "
                                              "written: ") +
                                  c.last_line + "\n"))
        << run.err;
  }
}

// A reading stopped by a file's encoding or by a semicolon inside a
// number: the warning that names the cause comes with the code.
TEST_F(AuthorCommands, TheCauseOfAStoppedReadingIsNamed) {
  // The line saved as UTF-16 (little-endian, with its byte-order mark).
  std::string utf16 = "\xff\xfe";
  for (char ch : SmallLine(kCleanRecord, kCleanBoard)) {
    utf16 += ch;
    utf16 += '\0';
  }
  WritePair(utf16, SmallTrain("velocita,    1000,    95"));
  ExeRun run = Compiler(dir_, {"compile", "--no-source", line_, train_});
  EXPECT_EQ(run.status, 2) << run.err;
  // The cause first, with the cure; then the code it led to.
  EXPECT_EQ(run.err.find(line_ + ":1:1: warning file-encoding: the file is "
                                 "saved as UTF-16 (\"Unicode\")"),
            0u)
      << run.err;
  EXPECT_NE(run.err.find("save it as Windows-1252"), std::string::npos);
  EXPECT_LT(run.err.find("save it as Windows-1252"), run.err.find("error 102"))
      << run.err;

  struct Case {
    const char* speed_row;
    const char* at;  // where the reading stops
    const char* cure;
  };
  const Case kCases[] = {
      {"velocita,    1000;    95", ":10:14: ", "put a comma in its place"},
      {"velocita,    1000,    95;", ":10:23: ", "drop the semicolon"},
      {"velocita,    1000 ;95", ":10:19: ", "put a comma in its place"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.speed_row);
    WritePair(SmallLine(kCleanRecord, kCleanBoard), SmallTrain(c.speed_row));
    run = Compiler(dir_, {"compile", "--no-source", line_, train_});
    const std::string at = train_ + c.at;
    EXPECT_NE(run.err.find(at + "error 25: "), std::string::npos) << run.err;
    const std::size_t warning = run.err.find(at + "warning field-separator: ");
    ASSERT_NE(warning, std::string::npos) << run.err;
    EXPECT_NE(run.err.find(c.cure, warning), std::string::npos) << run.err;
  }
}

TEST_F(AuthorCommands, CheckSaysWhatItReadOnSuccessToo) {
  WritePair(SmallLine(kCleanRecord, kCleanBoard),
            SmallTrain("velocita,    1000,    95"));
  ExeRun run = Compiler(dir_, {"check", line_, train_});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "read line: 8 general rows, 1 curve, 2 gradients, 0 mountain "
            "sides, 1 maximum-speed board, 1 indicator board; train: 4 "
            "general rows, 1 adhesion row, 2 speed limits, 1 station, 1 "
            "signal, 0 slowdowns, 0 code changes; line 5000 m, stations from "
            "0 m to 0 m\n");
  // A misspelt keyword drops its row: the count shows it, and a warning
  // says why.
  WritePair(SmallLine(kCleanRecord, kCleanBoard),
            SmallTrain("velocta,    1000,    95"));
  run = Compiler(dir_, {"check", line_, train_});
  EXPECT_NE(run.out.find(", 1 speed limit, "), std::string::npos) << run.out;
  EXPECT_NE(
      run.err.find(train_ + ":10:1: warning passed-over-field: \"velocta\" "
                            "matches no row keyword"),
      std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("(did you mean \"velocita\"?)"), std::string::npos);
}

TEST(AuthorExport, ExportedPairCompilesToTheBuiltInRunsFiles) {
  // The built-in run writes beside its executable: run a copy in a folder
  // of its own.
  ScopedTempDir builtin;
  const std::string exe = builtin.File("scenario-compiler");
  std::filesystem::copy_file(SCENARIO_COMPILER_EXE, exe);
  ExeRun run = RunIn(builtin, exe, {"--no-window"});
  ASSERT_EQ(run.status, 0) << run.err;

  ScopedTempDir authored;
  run = RunIn(authored, SCENARIO_COMPILER_EXE, {"export", "-o", "."});
  ASSERT_EQ(run.status, 0) << run.err;
  run = RunIn(
      authored, SCENARIO_COMPILER_EXE,
      {"compile", "Tarvo_Cembrio_linea.txt", "Tarvo_Cembrio_Exp 5147-.txt"});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* name :
       {"Tarvo_Cembrio_linea.dat", "Tarvo_Cembrio_Exp 5147.sim",
        "Tarvo_Cembrio_Exp 5147.dat"}) {
    SCOPED_TRACE(name);
    const std::string want = ReadWholeFile(builtin.File(name));
    ASSERT_FALSE(want.empty());
    EXPECT_TRUE(ReadWholeFile(authored.File(name)) == want);
  }
  // The exported descriptions stay.
  EXPECT_TRUE(
      std::filesystem::exists(authored.File("Tarvo_Cembrio_linea.txt")));

  // The warnings its content deserves: the curve written out of order
  // after the one at 89250 and the decimal comma at 1250 are part of the
  // scenario, and the first run's timetable (17:15:30 to 17:18:00 over
  // 3100 m, the first 1000 m at 30 km/h) cannot be kept.
  run = RunIn(authored, SCENARIO_COMPILER_EXE,
              {"lint", "Tarvo_Cembrio_linea.txt", "Tarvo_Cembrio_Exp 5147-.txt",
               "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json linted = nlohmann::json::parse(run.out);
  std::vector<std::string> warnings;
  for (const nlohmann::json& w : linted["warnings"]) {
    warnings.push_back(w["file"].get<std::string>() + ":" +
                       std::to_string(w["line"].get<int>()) + ":" +
                       std::to_string(w["column"].get<int>()) + " " +
                       w["name"].get<std::string>() + " " +
                       std::to_string(w["position"].get<int>()));
  }
  EXPECT_EQ(warnings,
            (std::vector<std::string>{
                "Tarvo_Cembrio_linea.txt:79:1 curve-overlap 80850",
                "Tarvo_Cembrio_linea.txt:116:20 decimal-comma 1250",
                "Tarvo_Cembrio_Exp 5147-.txt:45:63 time-too-short 3100"}));

  run = RunIn(authored, SCENARIO_COMPILER_EXE,
              {"inspect", "Tarvo_Cembrio_Exp 5147.dat", "--json", "--raw"});
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json doc = nlohmann::json::parse(run.out);
  bool seen = false;
  for (const nlohmann::json& cell : doc["cells"]) {
    if (cell["index"] != 1) continue;
    seen = true;
    EXPECT_EQ(cell["w2"], 5121);
    EXPECT_EQ(cell["w4"], 2352);
  }
  EXPECT_TRUE(seen);

  // The author view takes station names and kilometre readings from the
  // parameter file beside the cell file.
  run = RunIn(authored, SCENARIO_COMPILER_EXE,
              {"inspect", "Tarvo_Cembrio_Exp 5147.dat"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("stop mark: station 1, name \"Tarvo Centrale\""),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("60+000  cell   1140  indicator board"),
            std::string::npos);
}

TEST(AuthorInspect, RefusesAFileWhoseSizeDoesNotFit) {
  ScopedTempDir dir;
  WriteWholeFile(dir.File("odd.dat"), std::string(16, '\0'));
  ExeRun run = RunIn(dir, SCENARIO_COMPILER_EXE, {"inspect", "odd.dat"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("not a cell file"), std::string::npos) << run.err;
}

// The window's and the rasteriser's libraries are shared modules beside the
// executable, loaded only by what uses them.
TEST(ProgramModules, TheProgramStartsWithoutTheModulesLibraries) {
  ScopedTempDir dir;
  // The dynamic loader lists every library the program starts with, then
  // ends it.
  const ExeRun run =
      RunIn(dir, SCENARIO_COMPILER_EXE, {}, {{"LD_TRACE_LOADED_OBJECTS", "1"}});
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_NE(run.out.find("libc.so"), std::string::npos) << run.out;
  for (const char* library :
       {"libfltk", "libX11", "librsvg", "libcairo", "libglib", "libpango",
        "libcpp-httplib", "libssl", "libcrypto"}) {
    EXPECT_EQ(run.out.find(library), std::string::npos) << run.out;
  }
}

TEST(ProgramModules, AMissingModuleIsNamedAndOnlyWhatNeedsItFails) {
  // A copy of the program without its modules.
  ScopedTempDir dir;
  const std::string exe = dir.File("scenario-compiler");
  std::filesystem::copy_file(SCENARIO_COMPILER_EXE, exe);
  const std::string six[] = {"Tarvo_Cembrio_Exp 5147_note.txt",
                             "Tarvo_Cembrio_Exp 5147_rallentamenti.txt",
                             "Tarvo_Cembrio_Exp 5147_scheda_treno.txt",
                             "Tarvo_Cembrio_linea.dat",
                             "Tarvo_Cembrio_Exp 5147.sim",
                             "Tarvo_Cembrio_Exp 5147.dat"};

  // Runs that never show the window never look for its module; with a
  // display named (nobody serves :4093) the run says the window is missing
  // and goes on without it.
  struct WindowCase {
    std::optional<std::string> display;  // nullopt: no DISPLAY at all
    std::vector<std::string> args;
    bool message;
  };
  const WindowCase cases[] = {
      {std::nullopt, {}, false},
      {":4093", {"--no-window"}, false},
      {":4093", {}, true},
  };
  for (const WindowCase& c : cases) {
    SCOPED_TRACE(c.display.value_or("no display") +
                 (c.args.empty() ? "" : " --no-window"));
    for (const std::string& name : six) std::filesystem::remove(dir.File(name));
    const ExeRun run = RunIn(dir, exe, c.args, {{"DISPLAY", c.display}});
    EXPECT_EQ(run.status, 0) << run.err;
    for (const std::string& name : six) {
      EXPECT_TRUE(std::filesystem::exists(dir.File(name))) << name;
    }
    if (c.message) {
      EXPECT_NE(run.err.find("The waiting window cannot be shown"),
                std::string::npos)
          << run.err;
      EXPECT_NE(run.err.find(dir.File("scenario-window.so")), std::string::npos)
          << run.err;
    } else {
      EXPECT_EQ(run.err, "");
    }
  }

  // An SVG needs no module; a PNG names the missing rasteriser.
  ExeRun run = RunIn(dir, exe, {"plot", ".", "-o", "sheet.svg"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(std::filesystem::exists(dir.File("sheet.svg")));
  run = RunIn(dir, exe, {"plot", ".", "-o", "sheet.png"});
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.err.find(dir.File("scenario-raster.so")), std::string::npos)
      << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("sheet.png")));
}

}  // namespace
}  // namespace scenario
