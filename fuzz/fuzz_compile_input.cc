#include "fuzz_compile_input.h"

#include <string>

namespace scenario {

bool PrepareFuzzInput(std::string_view data, FuzzCompileRun* run) {
  if (data.empty()) return false;
  run->j = (static_cast<unsigned char>(data[0]) & 1) ? 1 : 0;
  data.remove_prefix(1);
  std::string_view line = data;
  std::string_view train;
  if (const std::size_t at = data.find(kTrainSeparator);
      at != std::string_view::npos) {
    line = data.substr(0, at);
    train = data.substr(at + kTrainSeparator.size());
  }

  CompileFiles& files = run->files;
  files.line_description = "/fuzz/Fuzz_linea.txt";
  files.train_description = "/fuzz/Fuzz_Treno 1-.txt";
  files.grid_file = "/fuzz/Fuzz_linea.dat";
  files.param_file = "/fuzz/Fuzz_Treno 1.sim";
  files.cell_file = "/fuzz/Fuzz_Treno 1.dat";
  run->fs.files[files.line_description] = std::string(line);
  run->fs.files[files.train_description] = std::string(train);

  run->scenario.line_name = "Fuzz";
  run->scenario.train_name = "Treno 1";
  return true;
}

bool CompileFuzzInput(std::string_view data, FuzzCompileRun* run) {
  if (!PrepareFuzzInput(data, run)) return false;
  run->result = memorizza_percorso(run->scenario, run->j, run->fs, run->files);
  return true;
}

}  // namespace scenario
