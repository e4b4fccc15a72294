#include "run/file_names.h"

namespace scenario {

ScenarioFileNames MakeFileNames(std::string_view folder,
                                std::string_view line_name,
                                std::string_view train_name) {
  const std::string line = std::string(folder) + std::string(kPathSeparator) +
                           std::string(line_name);
  const std::string line_train = line + "_" + std::string(train_name);
  ScenarioFileNames names;
  names.line_description = line + "_linea.txt";
  names.train_description = line_train + "-.txt";
  names.notes = line_train + "_note.txt";
  names.slowdown_form = line_train + "_rallentamenti.txt";
  names.train_card = line_train + "_scheda_treno.txt";
  names.line_grid = line + "_linea.dat";
  names.param_file = line_train + ".sim";
  names.cell_file = line_train + ".dat";
  return names;
}

}  // namespace scenario
