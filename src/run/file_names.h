#ifndef SCENARIO_RUN_FILE_NAMES_H_
#define SCENARIO_RUN_FILE_NAMES_H_

#include <string>
#include <string_view>

#include "base/application_path.h"
#include "base/status.h"

namespace scenario {

// The scenario's built-in names. Every file name is formed from them.
inline constexpr std::string_view kBuiltinLineName = "Tarvo_Cembrio";
inline constexpr std::string_view kBuiltinTrainName = "Exp 5147";

// The separator between the folder and a file name on this platform.
inline constexpr std::string_view kPathSeparator = "/";

// Every file of one scenario, by the naming rule: the folder, "/", then the
// names joined verbatim (blanks stay blanks).
struct ScenarioFileNames {
  std::string line_description;   // <line>_linea.txt, transient
  std::string train_description;  // <line>_<train>-.txt, transient
  std::string notes;              // <line>_<train>_note.txt
  std::string slowdown_form;      // <line>_<train>_rallentamenti.txt
  std::string train_card;         // <line>_<train>_scheda_treno.txt
  std::string line_grid;          // <line>_linea.dat
  std::string param_file;         // <line>_<train>.sim
  std::string cell_file;          // <line>_<train>.dat
};

// REQUIRES: folder has no trailing separator (as ApplicationPath gives it).
ScenarioFileNames MakeFileNames(std::string_view folder,
                                std::string_view line_name,
                                std::string_view train_name);

}  // namespace scenario

#endif  // SCENARIO_RUN_FILE_NAMES_H_
