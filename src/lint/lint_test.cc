#include "lint/lint.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/fake_file_system.h"
#include "compile/compile_stage.h"
#include "compile/small_pair_testing.h"
#include "lint/warnings.h"
#include "model/scenario.h"

namespace scenario {
namespace {

constexpr const char* kLinePath = "/app/Valle_linea.txt";
constexpr const char* kTrainPath = "/app/Valle_R 12-.txt";

// The small pair, which compiles without a code and deserves no warning.
// Each case below changes one line of it, named by its number.
struct Pair {
  std::vector<std::string> line = SmallLineRows();
  std::vector<std::string> train = SmallTrainRows();
};

struct Outcome {
  Scenario s;
  LintReport report;
};

void Lint(const Pair& pair, Outcome* out, bool write = false) {
  FakeFileSystem fs;
  fs.files[kLinePath] = DescriptionText(pair.line);
  fs.files[kTrainPath] = DescriptionText(pair.train);
  CompileFiles files;
  files.line_description = kLinePath;
  files.train_description = kTrainPath;
  files.delete_descriptions = false;
  files.write_outputs = write;
  out->s.line_name = "Valle";
  out->s.train_name = "R 12";
  out->report = CompileAndLint(out->s, 1, fs, files);
}

std::string Describe(const std::vector<Warning>& warnings) {
  std::string text;
  for (const Warning& w : warnings) {
    text += w.where.file + ":" + std::to_string(w.where.line) + ":" +
            std::to_string(w.where.column) + ": " +
            std::string(WarningName(w.kind)) + ": " + w.text + "\n";
  }
  return text;
}

TEST(Lint, TheBasePairIsClean) {
  Outcome out;
  Lint(Pair(), &out);
  EXPECT_TRUE(out.s.errors.diagnostics.empty())
      << out.s.errors.diagnostics.front().message;
  EXPECT_TRUE(out.report.warnings.empty()) << Describe(out.report.warnings);
}

// Line n (from 1) of a file's text, without its line end.
std::string LineAt(std::string text, int n) {
  for (int skip = n - 1; skip > 0; --skip) {
    text = text.substr(text.find("\r\n") + 2);
  }
  return text.substr(0, text.find("\r\n"));
}

// For each kind: one changed line that gives exactly that warning, at the
// field `at` marks (its first occurrence in the changed text), and the
// corrected line that gives none.
TEST(Lint, EachKindAtItsFieldAndNoneWhenCorrected) {
  struct Case {
    WarningKind kind;
    bool train;       // which file the line is in
    int line;         // 1-based line of the base that is replaced
    const char* bad;  // may hold several lines ("\r\n" between them)
    const char* good;
    int warning_line;  // where the warning stands in the bad file
    const char* at;    // the warned field's text in the bad line
  };
  const Case kCases[] = {
      {WarningKind::kPassedOverField, false, 15, "pendnza,  1000,   -3",
       "pendenza,  1000,   -3", 15, "pendnza"},
      {WarningKind::kKeywordCase, false, 6, "Sfondo uno,    1",
       "sfondo uno,    1", 6, "Sfondo"},
      {WarningKind::kMisplacedRow, false, 8,
       "sfondo tre,    0\r\npendenza,  0,   5", "sfondo tre,    0", 9,
       "pendenza"},
      {WarningKind::kMisplacedRow, false, 16, "[montagne]\r\nsfondo uno, 1",
       "[montagne]", 17, "sfondo"},
      {WarningKind::kOtherFileRow, true, 11,
       "velocita,    1000,    95\r\npendenza,  1000,   -3",
       "velocita,    1000,    95", 12, "pendenza"},
      {WarningKind::kNoGeneralSection, true, 1, "[generali]", "[generale]", 1,
       "[generali]"},
      {WarningKind::kDecimalComma, false, 15, "pendenza,  1000,   -3,5",
       "pendenza,  1000,   -3", 15, "-3"},
      {WarningKind::kDashFieldTested, true, 12,
       "----\r\n----\r\n----\r\n[stazioni]", "----\r\n----\r\n[stazioni]", 14,
       "----"},
      {WarningKind::kUnreadLastField, true, 22, "sabbia", "[fine]", 22,
       "sabbia"},
      {WarningKind::kDoubleKeyword, true, 4,
       "sabbia e orologio,  17, 15, 30, 220", "sabbia,    220", 4, "sabbia"},
      {WarningKind::kRowsOutOfOrder, false, 15,
       "pendenza,  1000,   -3\r\npendenza,  800,   2",
       "pendenza,  800,   2\r\npendenza,  1000,   -3", 16, "pendenza"},
      {WarningKind::kCurveOverlap, false, 12, "curvas1,  550,  100",
       "curvas1,  600,  100", 12, "curvas1"},
      {WarningKind::kTimesNotRising, true, 14,
       "stazione,   5000, 2, 600, 1, 1, 0, 4, 1, 0, 5, 1, 1, 60, 17, 10, 0, "
       "Borgo",
       "stazione,   5000, 2, 600, 1, 1, 0, 4, 1, 0, 5, 1, 1, 60, 17, 25, 0, "
       "Borgo",
       14, "17, 10"},
      {WarningKind::kTimeTooShort, true, 14,
       "stazione,   5000, 2, 600, 1, 1, 0, 4, 1, 0, 5, 1, 1, 60, 17, 17, 0, "
       "Borgo",
       "stazione,   5000, 2, 600, 1, 1, 0, 4, 1, 0, 5, 1, 1, 60, 17, 25, 0, "
       "Borgo",
       14, "17, 17"},
      {WarningKind::kKilometreStone, false, 21,
       "cartello_indicatore,  2500,   (Km 3+000)",
       "cartello_indicatore,  2500,   (Km 3+500)", 21, "(Km"},
      {WarningKind::kSpeedAboveBoard, true, 11, "velocita,    1000,    120",
       "velocita,    1000,    100", 11, "120"},
      {WarningKind::kValueAltered, false, 15, "pendenza,  1000,   600",
       "pendenza,  1000,   60", 15, "600"},
      {WarningKind::kValueAltered, true, 11, "velocita,    1000,    92",
       "velocita,    1000,    90", 11, "92"},
      {WarningKind::kValueAltered, true, 19,
       "segnale,    4450,   2, 3, 1,  1, 0,    0,  0,0,0, 40",
       "segnale,    4450,   2, 3, 1,  1, 0,    0,  0,0,0, 101", 19, "40"},
      {WarningKind::kDuplicatePosition, true, 8, "aderenza,       0,    80",
       "aderenza,    1500,    80", 8, "aderenza"},
      {WarningKind::kItemOverwritten, true, 13,
       "stazione,   0, 8, 500, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 17, 15, 30, "
       "Tarvo\r\nsegnale,    5200,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
       "stazione,   0, 8, 500, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 17, 15, 30, "
       "Tarvo\r\nsegnale,    5250,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
       15, "stazione"},
      {WarningKind::kUtf8Text, true, 14,
       "stazione,   5000, 2, 600, 1, 1, 0, 4, 1, 0, 5, 1, 1, 60, 17, 25, 0, "
       "Citt\xC3\xA0",
       "stazione,   5000, 2, 600, 1, 1, 0, 4, 1, 0, 5, 1, 1, 60, 17, 25, 0, "
       "Citt\xE0",
       14, "Citt"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(WarningName(c.kind)) + ": " + c.bad);
    Pair bad;
    Pair good;
    (c.train ? bad.train : bad.line)[c.line - 1] = c.bad;
    (c.train ? good.train : good.line)[c.line - 1] = c.good;

    Outcome out;
    Lint(bad, &out);
    ASSERT_EQ(out.report.warnings.size(), 1u) << Describe(out.report.warnings);
    const Warning& w = out.report.warnings[0];
    EXPECT_EQ(w.kind, c.kind) << Describe(out.report.warnings);
    EXPECT_EQ(w.where.file, c.train ? kTrainPath : kLinePath);
    EXPECT_EQ(w.where.line, c.warning_line);
    const std::string text =
        LineAt(DescriptionText(c.train ? bad.train : bad.line), c.warning_line);
    EXPECT_EQ(w.where.column, static_cast<int>(text.find(c.at)) + 1) << text;

    Outcome corrected;
    Lint(good, &corrected);
    EXPECT_TRUE(corrected.report.warnings.empty())
        << Describe(corrected.report.warnings);
  }
}

// Slips a new author makes, each of which compiles silently: every one
// gets its warnings, whatever else it also deserves.
TEST(Lint, AnAuthorsSlipsAreNamed) {
  struct Case {
    bool train;
    int line;
    const char* bad;
    std::vector<WarningKind> kinds;  // in file order
  };
  const Case kCases[] = {
      // The comma splits "9,000": a limit of 0 from metre 9 (in the cell of
      // the row at 0) and a stray "130".
      {true,
       11,
       "velocita,    9,000,    130",
       {WarningKind::kDuplicatePosition, WarningKind::kDecimalComma}},
      {true,
       14,
       "stazone,   5000, 2, 600, 1, 1, 0, 4, 1, 0, 5, 1, 1, 60, 17, 25, 0, "
       "Borgo",
       {WarningKind::kPassedOverField}},
      {true,
       19,
       "segnal,    4450,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
       {WarningKind::kPassedOverField}},
      // Two gradients at one position: the last wins.
      {false,
       15,
       "pendenza,  1000,   -3\r\npendenza,  1000,   2",
       {WarningKind::kDuplicatePosition}},
      // A comma in a station name cuts it.
      {true,
       14,
       "stazione,   5000, 2, 600, 1, 1, 0, 4, 1, 0, 5, 1, 1, 60, 17, 25, 0, "
       "Borgo, Nuovo",
       {WarningKind::kPassedOverField}},
      // A keyword with a dash is passed over as a separator; the 30 km/h
      // of the row before then hold to the next station, too slow for the
      // timetable.
      {true,
       11,
       "velocita-massima,    1000,    95",
       {WarningKind::kPassedOverField, WarningKind::kTimeTooShort}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.bad);
    Pair pair;
    (c.train ? pair.train : pair.line)[c.line - 1] = c.bad;
    Outcome out;
    Lint(pair, &out);
    std::vector<WarningKind> kinds;
    for (const Warning& w : out.report.warnings) kinds.push_back(w.kind);
    EXPECT_EQ(kinds, c.kinds) << Describe(out.report.warnings);
  }
}

// The warnings are found beside the compile: the same codes and the same
// bytes with them as without.
TEST(Lint, TheCompileIsTheSameWithWarnings) {
  Pair pair;
  pair.line[14] = "pendenza,  1000,   -3,5";    // a decimal comma
  pair.train[10] = "velocita,    1000,    92";  // stored as 90
  FakeFileSystem plain_fs;
  FakeFileSystem linted_fs;
  for (FakeFileSystem* fs : {&plain_fs, &linted_fs}) {
    fs->files[kLinePath] = DescriptionText(pair.line);
    fs->files[kTrainPath] = DescriptionText(pair.train);
  }
  CompileFiles files;
  files.line_description = kLinePath;
  files.train_description = kTrainPath;
  files.grid_file = "/out/grid";
  files.param_file = "/out/params";
  files.cell_file = "/out/cells";
  Scenario plain;
  Scenario linted;
  for (Scenario* s : {&plain, &linted}) {
    s->line_name = "Valle";
    s->train_name = "R 12";
  }
  memorizza_percorso(plain, 1, plain_fs, files);
  const LintReport report = CompileAndLint(linted, 1, linted_fs, files);
  EXPECT_EQ(report.warnings.size(), 2u) << Describe(report.warnings);
  EXPECT_EQ(plain_fs.files, linted_fs.files);
  EXPECT_EQ(plain.errors.error_code, linted.errors.error_code);
  EXPECT_EQ(plain.errors.diagnostics.size(), linted.errors.diagnostics.size());
  // The descriptions were deleted as the built-in run does.
  EXPECT_FALSE(linted_fs.Has(kLinePath));
}

}  // namespace
}  // namespace scenario
