#include "bench/bench_inputs.h"

#include <cstdlib>
#include <optional>
#include <string>

#include "base/fake_file_system.h"
#include "compile/compile_stage.h"
#include "documents/text_writer.h"
#include "line/builtin_line.h"
#include "train/builtin_train.h"

namespace scenario::bench {
namespace {

// Replaces the number after the first field of the row that starts with
// key ("lunghezza percorso,    185700") and, with skip, after skip more.
void SetRowNumber(std::string* text, const std::string& key, int skip,
                  std::int32_t value) {
  std::size_t at = text->find("\n" + key);
  if (at == std::string::npos) std::abort();
  at = text->find(',', at);
  for (int i = 0; i < skip; ++i) at = text->find(',', at + 1);
  const std::size_t start = text->find_first_not_of(" ,", at);
  const std::size_t end = text->find_first_of(",\r", start);
  text->replace(start, end - start, std::to_string(value));
}

}  // namespace

std::string LineDescription(std::int32_t length) {
  std::optional<std::string> text = EncodeTextFile(dati_linea());
  if (!text) std::abort();
  SetRowNumber(&*text, "lunghezza percorso", 0, length);
  SetRowNumber(&*text, "ripetizione segnali", 1, length);
  return *text;
}

std::string TrainDescription() {
  std::optional<std::string> text = EncodeTextFile(dati_treno());
  if (!text) std::abort();
  return *text;
}

Scenario CompiledScenario(std::int32_t length, std::int32_t j) {
  FakeFileSystem fs;
  fs.files["line.txt"] = LineDescription(length);
  fs.files["train.txt"] = TrainDescription();
  CompileFiles files;
  files.line_description = "line.txt";
  files.train_description = "train.txt";
  files.delete_descriptions = false;
  // Written (into memory), so that the grid is laid as for a compile.
  files.grid_file = "grid.dat";
  files.param_file = "params.sim";
  files.cell_file = "cells.dat";
  Scenario s;
  s.line_name = "Tarvo_Cembrio";
  s.train_name = "Exp 5147";
  const CompileResult result = memorizza_percorso(s, j, fs, files);
  if (result.end != CompileEnd::kWritten || s.errors.error_code != 0) {
    std::abort();
  }
  return s;
}

}  // namespace scenario::bench
