#include "lsp/description_rows.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/fake_file_system.h"
#include "base/file_system.h"
#include "base/windows1252.h"
#include "compile/compile_stage.h"
#include "documents/text_writer.h"
#include "line/builtin_line.h"
#include "line/read_log.h"
#include "lsp/editor_document.h"
#include "model/scenario.h"
#include "train/builtin_train.h"

namespace scenario {
namespace {

std::string_view KindName(const WrittenRow& row) {
  return row.kind ? RowKindName(*row.kind) : "";
}

// The row a line makes after the lines before it.
WrittenRow Scan(DescriptionKind file, const std::vector<std::string>& before,
                std::string_view line) {
  RowScanner rows(file);
  for (const std::string& l : before) rows.Next(l);
  return rows.Next(line);
}

TEST(DescriptionRows, LinesAreCutAsTheFieldReaderCutsThem) {
  const std::vector<std::string> general = {"[generale]"};
  const std::vector<std::string> main = {"[generale]", "[curve]"};
  struct Case {
    DescriptionKind file;
    const std::vector<std::string>& before;
    const char* line;
    const char* kind;  // "" for no row
    std::vector<std::string> values;
  };
  const Case cases[] = {
      // Numbers also end at a blank.
      {DescriptionKind::kTrain,
       general,
       "orologio,    17              15            30 ",
       "clock",
       {"17", "15", "30"}},
      // The name runs to the end of the row, blanks and dashes included.
      {DescriptionKind::kTrain,
       general,
       "stazione,  3100, 22, 400, 0,0,0, 2,1,0, 2,1,0, 60, 17,18,0, San-Rocco "
       "Alto",
       "station",
       {"3100", "22", "400", "0", "0", "0", "2", "1", "0", "2", "1", "0", "60",
        "17", "18", "0", "San-Rocco Alto"}},
      // Empty number fields stay empty (they read as 0), also the last one.
      {DescriptionKind::kLine,
       main,
       "indicatori_vmax,  1000,  90,  95,  100,  0,  ,  ,  ,  0",
       "maximum-speed board",
       {"1000", "90", "95", "100", "0", "", "", "", "0"}},
      {DescriptionKind::kLine, main, "pendenza,  0,", "gradient", {"0", ""}},
      // A missing field is not there (the reader takes the next line's).
      {DescriptionKind::kLine, main, "pendenza,  0", "gradient", {"0"}},
      // A quoted text keeps its comma; what follows the quote is dropped.
      {DescriptionKind::kLine,
       main,
       "cartello_indicatore,  3000,  \"Cippo, 3\" x,  7",
       "indicator board",
       {"3000", "Cippo, 3", "7"}},
      // A bad number is shown as written; a field past the row's is too.
      {DescriptionKind::kLine,
       main,
       "pendenza,  12x,  -4,5",
       "gradient",
       {"12x", "-4", "5"}},
      // Any case here, exact case there, as the readers test them.
      {DescriptionKind::kTrain,
       general,
       "Velocita,  0,  30",
       "speed limit",
       {"0", "30"}},
      {DescriptionKind::kLine, general, "Sfondo uno,  1", "", {"1"}},
      {DescriptionKind::kLine,
       main,
       "curvad2,  89250,  150",
       "curve",
       {"89250", "150"}},
      {DescriptionKind::kLine, main, "[pendenze]", "", {}},
      {DescriptionKind::kNone, general, "pendenza,  0,  0", "", {"0", "0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const WrittenRow row = Scan(c.file, c.before, c.line);
    EXPECT_EQ(KindName(row), c.kind);
    EXPECT_EQ(row.values, c.values);
  }
}

TEST(DescriptionRows, KeywordsAreTestedWhereTheReadersTestThem) {
  struct Line {
    const char* text;
    const char* kind;  // "" for no row
  };
  const Line line_file[] = {
      {"pendenza,  0,  0", ""},  // before "[generale]": passed over
      {"[Generale]", ""},
      {"Lunghezza Percorso,  30000", "line length"},  // any case
      {"Sfondo uno,  1", ""},                         // exact case only
      {"pendenza,  5,  5", ""},  // not a row of the general part
      {"[curve]", ""},
      {"progressiva chilometrica uno,  0,  0,  0", ""},  // nor of this one
      {"PENDENZA,  100,  3", "gradient"},
      // Two dash fields in a row are passed over; the third is tested.
      {"---", ""},
      {"---", ""},
      {"---pendenza,  200,  0", "gradient"},
      {"---pendenza,  300,  0", ""},
  };
  RowScanner line_rows(DescriptionKind::kLine);
  for (const Line& l : line_file) {
    SCOPED_TRACE(l.text);
    EXPECT_EQ(KindName(line_rows.Next(l.text)), l.kind);
  }

  const Line train_file[] = {
      {"velocita,  0,  30", ""},
      {"[GENERALE]", ""},
      {"- velocita,  0,  30", ""},
      {"velocita,  0,  30", "speed limit"},
  };
  RowScanner train_rows(DescriptionKind::kTrain);
  for (const Line& l : train_file) {
    SCOPED_TRACE(l.text);
    EXPECT_EQ(KindName(train_rows.Next(l.text)), l.kind);
  }

  // A keyword that passes two tests is read as both rows, each with its
  // own fields.
  const WrittenRow twice =
      Scan(DescriptionKind::kLine, {"[generale]"}, "sfondo uno due,  1,  2");
  EXPECT_EQ(twice.kinds,
            RowBit(RowKind::kSelectorUno) | RowBit(RowKind::kSelectorDue));
  EXPECT_EQ(KindName(twice), "scenery selector one");
  EXPECT_EQ(twice.values, (std::vector<std::string>{"1", "2"}));
}

TEST(DescriptionRows, GuidesFollowTheRowKinds) {
  for (int k = 0; k < kRowKindCount; ++k) {
    const RowKind kind = static_cast<RowKind>(k);
    EXPECT_EQ(GuideOf(kind).kind, kind) << RowKindName(kind);
  }
}

TEST(DescriptionRows, SectionHeadersStandAlone) {
  EXPECT_EQ(SectionHeaderOf("  [stazioni]  "), "[stazioni]");
  EXPECT_EQ(SectionHeaderOf("[a], 5"), "");
  EXPECT_EQ(SectionHeaderOf("stazione, [x]"), "");
}

// A pair of descriptions as Windows-1252 bytes.
struct Pair {
  const char* name;
  std::string line;
  std::string train;
};

std::vector<Pair> ExampleAndBuiltinPairs() {
  const std::string folder = SCENARIO_DOCS_DIR "/example/";
  Pair example{"example", "", ""};
  EXPECT_TRUE(RealFileSystem()
                  .ReadFile(folder + "Valle_linea.txt", &example.line)
                  .ok());
  EXPECT_TRUE(RealFileSystem()
                  .ReadFile(folder + "Valle_R 12-.txt", &example.train)
                  .ok());
  Pair builtin{"built-in", EncodeTextFile(dati_linea()).value_or(""),
               EncodeTextFile(dati_treno()).value_or("")};
  return {example, builtin};
}

// Reads a pair as the compiler does, recording what the readers read.
void ReadAsTheCompilerDoes(const Pair& pair, ReadLog* line_log,
                           ReadLog* train_log) {
  FakeFileSystem fs;
  CompileFiles files;
  files.line_description = "/pair/P_linea.txt";
  files.train_description = "/pair/P_T-.txt";
  fs.files[files.line_description] = pair.line;
  fs.files[files.train_description] = pair.train;
  files.delete_descriptions = false;
  files.write_outputs = false;
  files.line_log = line_log;
  files.train_log = train_log;
  auto s = std::make_unique<Scenario>();
  s->line_name = "P";
  s->train_name = "T";
  memorizza_percorso(*s, 1, fs, files);
  EXPECT_EQ(s->errors.error_code, 0);
  line_log->EndRow();
  train_log->EndRow();
}

// Compares, line by line, the rows the server shows with those the reader
// read; adds the kinds read to *seen.
void ExpectTakenAlike(DescriptionKind file, const std::string& bytes,
                      const ReadLog& log, RowKindSet* seen) {
  std::map<int, RowKindSet> read;  // by line, from 0
  for (const LoggedRow& row : log.rows()) {
    read[log.fields()[row.keyword_field].line - 1] |= RowBit(row.kind);
    *seen |= RowBit(row.kind);
  }
  const EditorDocument doc(Windows1252ToUtf8(bytes));
  RowScanner scanner(file);
  std::vector<WrittenRow> shown;
  for (int l = 0; l < doc.line_count(); ++l) {
    shown.push_back(scanner.Next(doc.ByteLine(l)));
    EXPECT_EQ(shown.back().kinds, read[l])
        << "line " << l + 1 << ": " << doc.ByteLine(l);
  }
  // The fields: as many as the reader read, text where it read text, and
  // the server's values are the reader's texts.
  for (const LoggedRow& row : log.rows()) {
    const int line = log.fields()[row.keyword_field].line - 1;
    const RowGuide& guide = GuideOf(row.kind);
    SCOPED_TRACE("line " + std::to_string(line + 1) + ", " +
                 std::string(RowKindName(row.kind)));
    ASSERT_EQ(row.end_field - row.first_field, guide.fields.size());
    std::size_t at = 0;  // the row's first value among the line's
    for (int k = 0; k < static_cast<int>(row.kind); ++k) {
      if (Holds(read[line], static_cast<RowKind>(k))) {
        at += GuideOf(static_cast<RowKind>(k)).fields.size();
      }
    }
    const std::vector<std::string>& values = shown[line].values;
    for (std::size_t i = 0; i < guide.fields.size(); ++i) {
      const LoggedField& field = log.fields()[row.first_field + i];
      EXPECT_EQ(field.number, static_cast<int>(i) != guide.text_field) << i;
      ASSERT_LT(at + i, values.size());
      EXPECT_EQ(values[at + i], field.text) << i;
    }
  }
}

// The server must never call a row what the compiler does not read as
// one, nor miss one it reads: checked on every row of the example pair and
// of the built-in pair, which between them hold every row kind.
TEST(DescriptionRows, ServerAndReadersTakeEveryRowAlike) {
  RowKindSet seen = 0;
  for (const Pair& pair : ExampleAndBuiltinPairs()) {
    SCOPED_TRACE(pair.name);
    ReadLog line_log;
    ReadLog train_log;
    ReadAsTheCompilerDoes(pair, &line_log, &train_log);
    ASSERT_FALSE(line_log.rows().empty());
    ASSERT_FALSE(train_log.rows().empty());
    {
      SCOPED_TRACE("line");
      ExpectTakenAlike(DescriptionKind::kLine, pair.line, line_log, &seen);
    }
    {
      SCOPED_TRACE("train");
      ExpectTakenAlike(DescriptionKind::kTrain, pair.train, train_log, &seen);
    }
  }
  EXPECT_EQ(seen, (RowKindSet{1} << kRowKindCount) - 1);
}

}  // namespace
}  // namespace scenario
