// The ordinary mistakes of an author who writes a pair from the format
// reference alone, each as a small edit of the small pair: every one is
// named at the row the author must change, and its correction gives
// nothing at all.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/fake_file_system.h"
#include "compile/compile_stage.h"
#include "compile/small_pair_testing.h"
#include "line/read_log.h"
#include "lint/lint.h"
#include "lint/warnings.h"
#include "model/scenario.h"

namespace scenario {
namespace {

constexpr const char* kLinePath = "Valle_linea.txt";
constexpr const char* kTrainPath = "Valle_R 12-.txt";

struct Outcome {
  Scenario s;
  LintReport report;
};

void Lint(const std::string& line, const std::string& train, Outcome* out) {
  FakeFileSystem fs;
  fs.files[kLinePath] = line;
  fs.files[kTrainPath] = train;
  CompileFiles files;
  files.line_description = kLinePath;
  files.train_description = kTrainPath;
  files.delete_descriptions = false;
  files.write_outputs = false;
  out->s.line_name = "Valle";
  out->s.train_name = "R 12";
  out->report = CompileAndLint(out->s, 1, fs, files);
}

std::string Describe(const Outcome& out) {
  std::string text;
  for (const Diagnostic& d : out.s.errors.diagnostics) {
    text += d.where.file + ":" + std::to_string(d.where.line) + ": error " +
            std::to_string(d.code) + ": " + d.message + "\n";
  }
  for (const Warning& w : out.report.warnings) {
    text += w.where.file + ":" + std::to_string(w.where.line) + ": " +
            std::string(WarningName(w.kind)) + ": " + w.text + "\n";
  }
  return text;
}

bool WarnsAt(const Outcome& out, WarningKind kind, const char* file, int line) {
  for (const Warning& w : out.report.warnings) {
    if (w.kind == kind && w.where.file == file && w.where.line == line) {
      return true;
    }
  }
  return false;
}

bool Clean(const Outcome& out) {
  return out.s.errors.diagnostics.empty() && out.report.warnings.empty();
}

TEST(Mistakes, EachIsNamedAtItsRowAndItsCorrectionIsClean) {
  struct Case {
    const char* what;
    bool train;        // which file the edit is in
    int line;          // the first line replaced (from 1)
    int count;         // how many lines are replaced
    const char* bad;   // "\r\n" between lines; "" removes them
    WarningKind kind;  // expected at `line`
    std::optional<WarningKind> never = std::nullopt;  // must not appear
  };
  const std::string station_tarvo_twice =
      "stazione,   5000, 2, 600, 1, 1, 0, 4, 1, 0, 5, 1, 1, 60, 17, 25, 0, "
      "Tarvo";
  const Case kCases[] = {
      {"slowdown of negative length", true, 16, 1,
       "rallentamento,   6000,  60,  -500,  40,  1,  0",
       WarningKind::kNonPositiveLength},
      {"signal beyond the end", true, 19, 1,
       "segnale,    7450,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
       WarningKind::kBeyondLineEnd},
      {"last station beyond the end", true, 14, 1,
       "stazione,   7500, 2, 600, 1, 1, 0, 4, 1, 0, 5, 1, 1, 60, 17, 25, 0, "
       "Borgo-Nuovo",
       WarningKind::kBeyondLineEnd},
      {"board of 0 km/h", false, 19, 1,
       "indicatori_vmax,  100,  0,  95,  100,  0,  ,  ,  ,  0",
       WarningKind::kZeroSpeed},
      {"speed limit of 0 km/h", true, 11, 1, "velocita,    1000,    0",
       WarningKind::kZeroSpeed},
      {"board of 400 km/h", false, 19, 1,
       "indicatori_vmax,  100,  400,  95,  100,  0,  ,  ,  ,  0",
       WarningKind::kImplausibleSpeed},
      {"speed limit of 400 km/h", true, 11, 1, "velocita,    1000,    400",
       WarningKind::kImplausibleSpeed},
      {"curve of negative length", false, 12, 1, "curvas1,  900,  -100",
       WarningKind::kNonPositiveLength},
      {"station of length 0", true, 14, 1,
       "stazione,   5000, 2, 0, 1, 1, 0, 4, 1, 0, 5, 1, 1, 60, 17, 25, 0, "
       "Borgo-Nuovo",
       WarningKind::kNonPositiveLength},
      {"gradient in per cent times ten", false, 15, 1, "pendenza,  1000,  -90",
       WarningKind::kSteepGradient},
      {"one station name twice", true, 14, 1, station_tarvo_twice.c_str(),
       WarningKind::kStationNameTwice},
      {"no station", true, 12, 3, "", WarningKind::kNoStation},
      {"row commented out with #", true, 19, 1,
       "# segnale,    4450,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
       WarningKind::kCommentMarker},
      {"row commented out with //", false, 15, 1, "// pendenza,  1000,   -3",
       WarningKind::kCommentMarker},
      {"row commented out with ;", true, 21, 1,
       "; abbattimento,    1500,    270", WarningKind::kCommentMarker},
      {"comment holding a keyword word", true, 17, 1, "# segnale di partenza",
       WarningKind::kCommentMarker, WarningKind::kRowShape},
      {"one value too few", true, 18, 1,
       "segnale,    1050,   2, 5, 1,  1, 0,    2,  2,1,1",
       WarningKind::kRowShape},
      {"station name on the next line", true, 13, 1,
       "stazione,   0, 8, 500, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 17, 15, 30",
       WarningKind::kRowShape},
      {"one value too many", true, 19, 1,
       "segnale,    4450,   2, 3, 1,  1, 0,    0,  0,0,0, 0, 0",
       WarningKind::kPassedOverField, WarningKind::kDecimalComma},
      {"tabs between fields", false, 15, 1, "pendenza\t1000\t-3",
       WarningKind::kFieldSeparator},
      {"semicolons between fields", true, 11, 1, "velocita;1000;95",
       WarningKind::kFieldSeparator},
      // Inside a number field a semicolon stops the reading (error 25).
      {"semicolon inside a number", true, 11, 1, "velocita,  1000;95",
       WarningKind::kFieldSeparator},
      {"semicolon ending a row", false, 15, 1, "pendenza,  1000,   -3;",
       WarningKind::kFieldSeparator},
      {"semicolon after a number's blanks", true, 11, 1, "velocita,  1000 ;95",
       WarningKind::kFieldSeparator},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> line = SmallLineRows();
    std::vector<std::string> train = SmallTrainRows();
    std::vector<std::string>& edited = c.train ? train : line;
    edited.erase(edited.begin() + (c.line - 1),
                 edited.begin() + (c.line - 1 + c.count));
    if (*c.bad != '\0') edited.insert(edited.begin() + (c.line - 1), c.bad);

    Outcome out;
    Lint(DescriptionText(line), DescriptionText(train), &out);
    EXPECT_TRUE(WarnsAt(out, c.kind, c.train ? kTrainPath : kLinePath,
                        c.kind == WarningKind::kNoStation ? 1 : c.line))
        << Describe(out);
    if (c.never) {
      for (const Warning& w : out.report.warnings) {
        EXPECT_NE(w.kind, *c.never) << Describe(out);
      }
    }
  }
  Outcome corrected;
  Lint(SmallLineText(), SmallTrainText(), &corrected);
  EXPECT_TRUE(Clean(corrected)) << Describe(corrected);
}

// A row with a value too few, a comment read as a row, or a line of
// semicolons makes the reading stop at the next row: the code there names
// the line that caused it.
TEST(Mistakes, TheCodeAfterAShortRowNamesIt) {
  struct Case {
    int line;  // replaced in the train (from 1)
    const char* bad;
    const char* named;  // in the code's message
  };
  const Case kCases[] = {
      {18, "segnale,    1050,   2, 5, 1,  1, 0,    2,  2,1,1", "row-shape"},
      {17, "# segnale di partenza", "comment-marker"},
      {18, "segnale;1050;2;5;1;1;0;2;2;1;1;255", "field-separator"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.bad);
    std::vector<std::string> train = SmallTrainRows();
    train[c.line - 1] = c.bad;
    Outcome out;
    Lint(SmallLineText(), DescriptionText(train), &out);
    ASSERT_EQ(out.s.errors.diagnostics.size(), 1u) << Describe(out);
    const Diagnostic& d = out.s.errors.diagnostics[0];
    EXPECT_EQ(d.code, 25);
    EXPECT_EQ(d.where.line, c.line + 1);
    const std::string at = std::to_string(c.line) + ":1";
    EXPECT_NE(d.message.find(at), std::string::npos) << d.message;
    EXPECT_NE(d.message.find(c.named), std::string::npos) << d.message;
  }
}

// Whole files an author's editor got wrong.
TEST(Mistakes, FilesInTheWrongFormAreNamed) {
  auto utf16 = [](const std::string& text) {
    std::string out = "\xff\xfe";
    for (char ch : text) {
      out += ch;
      out += '\0';
    }
    return out;
  };
  struct Case {
    const char* what;
    std::string line;
    std::string train;
    std::optional<WarningKind> kind;  // expected, at line 1
    bool train_file;                  // where it is expected
    const char* in_text;              // in a warning's or a code's text
    const char* not_in_text;          // in none of them
  };
  const Case kCases[] = {
      {"train in UTF-16", SmallLineText(), utf16(SmallTrainText()),
       WarningKind::kFileEncoding, true, "UTF-16", "no-general"},
      {"line in UTF-16", utf16(SmallLineText()), SmallTrainText(),
       WarningKind::kFileEncoding, false, "UTF-16", ""},
      {"train with a UTF-8 byte-order mark", SmallLineText(),
       "\xef\xbb\xbf" + SmallTrainText(), WarningKind::kFileEncoding, true,
       "byte-order mark", ""},
      {"empty train file", SmallLineText(), "", std::nullopt, true,
       "the file is empty", "no byte left"},
      {"train holding only its header", SmallLineText(), "[generale]",
       WarningKind::kNoGeneralSection, true, "last field", "is not it"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    Outcome out;
    Lint(c.line, c.train, &out);
    if (c.kind) {
      EXPECT_TRUE(
          WarnsAt(out, *c.kind, c.train_file ? kTrainPath : kLinePath, 1))
          << Describe(out);
    }
    const std::string all = Describe(out);
    EXPECT_NE(all.find(c.in_text), std::string::npos) << all;
    if (*c.not_in_text != '\0') {
      EXPECT_EQ(all.find(c.not_in_text), std::string::npos) << all;
    }
  }
}

// The lint counts each row's values from the readers' table: each row of
// the small pair, which holds every kind, is read with exactly that many.
TEST(Mistakes, EachRowIsReadWithItsTablesValueCount) {
  FakeFileSystem fs;
  fs.files[kLinePath] = SmallLineText();
  fs.files[kTrainPath] = SmallTrainText();
  ReadLog line_log;
  ReadLog train_log;
  CompileFiles files;
  files.line_description = kLinePath;
  files.train_description = kTrainPath;
  files.delete_descriptions = false;
  files.write_outputs = false;
  files.line_log = &line_log;
  files.train_log = &train_log;
  Scenario s;
  memorizza_percorso(s, 1, fs, files);
  line_log.EndRow();
  train_log.EndRow();
  std::vector<bool> seen(kRowKindCount, false);
  for (const ReadLog* log : {&line_log, &train_log}) {
    for (const LoggedRow& row : log->rows()) {
      SCOPED_TRACE(std::string(RowKindName(row.kind)));
      EXPECT_EQ(row.end_field - row.first_field, RowKindValueCount(row.kind));
      seen[static_cast<int>(row.kind)] = true;
    }
  }
  EXPECT_EQ(seen, std::vector<bool>(kRowKindCount, true));
}

}  // namespace
}  // namespace scenario
