#include "tools/compiled_pair_testing.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "base/fake_file_system.h"
#include "compile/compile_stage.h"
#include "compile/small_pair_testing.h"
#include "documents/text_writer.h"
#include "line/builtin_line.h"
#include "model/scenario.h"
#include "model/scenario_names.h"
#include "train/builtin_train.h"

namespace scenario {
namespace {

std::string ReadDoc(const std::string& name) {
  std::ifstream in(std::string(SCENARIO_DOCS_DIR) + "/" + name,
                   std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace

void CompilePair(const std::string& line_text, const std::string& train_text,
                 const std::string& line_name, const std::string& train_name,
                 CompiledPair* pair) {
  FakeFileSystem fs;
  fs.files["line.txt"] = line_text;
  fs.files["train.txt"] = train_text;
  Scenario s;
  s.line_name = line_name;
  s.train_name = train_name;
  CompileFiles files;
  files.line_description = "line.txt";
  files.train_description = "train.txt";
  files.delete_descriptions = false;
  files.grid_file = "out/grid.dat";
  files.param_file = "out/pair.sim";
  files.cell_file = "out/pair.dat";
  files.line_log = &pair->line_log;
  files.train_log = &pair->train_log;
  const CompileResult result = memorizza_percorso(s, 1, fs, files);
  ASSERT_EQ(result.end, CompileEnd::kWritten) << CompileEndMessage(result);
  ScenarioFileSet set;
  set.param_file = files.param_file;
  set.cell_file = files.cell_file;
  set.grid_file = files.grid_file;
  const Status loaded = LoadScenarioFiles(set, fs, &pair->loaded);
  ASSERT_TRUE(loaded.ok()) << loaded.message();
  pair->param_file = fs.Contents(files.param_file);
  pair->cell_file = fs.Contents(files.cell_file);
  pair->grid_file = fs.Contents(files.grid_file);
}

RecoveredDescription LoggedRows(const ReadLog& log) {
  RecoveredDescription rows;
  const std::vector<LoggedField>& fields = log.fields();
  for (const LoggedRow& logged : log.rows()) {
    RecoveredRow row;
    row.kind = logged.kind;
    row.keyword = fields[logged.keyword_field].text;
    for (std::size_t i = logged.first_field; i < logged.end_field; ++i) {
      if (fields[i].number) {
        row.numbers.push_back(fields[i].value);
      } else {
        row.text = fields[i].text;
      }
    }
    rows.rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<DescriptionPair> RealPairs() {
  return {
      {"built-in", *EncodeTextFile(dati_linea()), *EncodeTextFile(dati_treno()),
       std::string(kBuiltinLineName), std::string(kBuiltinTrainName)},
      {"example", ReadDoc("example/Valle_linea.txt"),
       ReadDoc("example/Valle_R 12-.txt"), "Valle", "R 12"},
      {"small", SmallLineText(), SmallTrainText(), "Tarvo", "Regionale 1"},
  };
}

}  // namespace scenario
